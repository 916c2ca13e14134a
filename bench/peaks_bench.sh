#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Peak search and fit speed against a plain SciPy script on the same
# generated spectra (4096 channels, eight peaks each), and the pull
# statistics of the fits. Builds nothing: build the target first with
#   cmake --build build --target vantor-peaks-bench
#
#   bench/peaks_bench.sh [SPECTRA] [ROUNDS] [BUILD_DIR]   (defaults 200, 5, build)
#
# Runs on one core (taskset when there is one) so that the CPU times of both
# sides compare; SciPy needs /usr/bin/python3 with python3-scipy.
set -euo pipefail
cd "$(dirname "$0")/.."

spectra=${1:-200}
rounds=${2:-5}
build=${3:-build}
bench=$build/bin/vantor-peaks-bench
if [[ ! -x $bench ]]; then
  echo "no $bench: build it with cmake --build $build --target vantor-peaks-bench" >&2
  exit 1
fi
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c 0); fi
"${pin[@]}" "$bench" "$spectra" "$rounds"
