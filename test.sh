#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Vantor and runs every test twice: a normal build, and a build with
# address and undefined-behaviour sanitizers that halts on the first report;
# then the tests of parallel conversion under the thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
echo "build and tests in $SECONDS s"

# The Debian package from the same build, where the Debian tools are: lintian
# errors fail the run, its warnings are shown.
if command -v dpkg-shlibdeps >/dev/null; then
  started=$SECONDS
  rm -f build/vantor_*.deb
  (cd build && cpack -G DEB)
  if command -v lintian >/dev/null; then
    lintian --fail-on error build/vantor_*.deb
  fi
  echo "Debian package built and checked in $((SECONDS - started)) s"
fi

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
echo "sanitized build and tests done at $SECONDS s"

# Files converted side by side share the prompt, the temporary names'
# random source and the format table: any data race fails the run. Only
# the command line and the core are built, only the parallel tests run.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_TSAN=ON -DVANTOR_BUILD_UI=OFF
cmake --build build-tsan -j "$jobs" --target test_convert test_cli
ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R 'Parallel|CliCases|WatchCli'
echo "thread-sanitized tests done at $SECONDS s"

# Every parser under libFuzzer for a bounded time (VANTOR_FUZZ_SECONDS each,
# 20 here; longer runs are for a quiet afternoon); fails on any crash, leak,
# slow input or sanitizer report.
VANTOR_FUZZ_SECONDS=${VANTOR_FUZZ_SECONDS:-20} tests/fuzz/run_fuzzers.sh
echo "all done in $SECONDS s"
