#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Peak memory of `vantor-cli convert` over a beamline day of files given
# through --files-from, against a run of a hundredth of them: the memory
# must stay flat in the file count.
#
#   bench/many_files.sh [FILES] [CHANNELS] [BUILD_DIR]
#
# Generates FILES record files (default 100000) of CHANNELS channels
# (default 16, to spare the disk), converts them into TXT and _.XBM with all
# cores, and prints wall time, CPU ms per file and peak memory for FILES/100
# and for FILES files. Everything is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

files=${1:-100000}
channels=${2:-16}
build=${3:-build}
cli=$build/bin/vantor-cli
generate=$build/bin/vantor-generate

if [ ! -x /usr/bin/time ] || [ ! -x "$cli" ] || [ ! -x "$generate" ]; then
  echo "many_files: needs /usr/bin/time (package time), $cli and $generate" >&2
  exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vantor-many.XXXXXX")
trap 'rm -rf "$work"' EXIT

few=$((files / 100))
"$generate" "$work/day" "$files" "$channels" run
find "$work/day" -name '*.xbm' | sort >"$work/all.list"
head -n "$few" "$work/all.list" >"$work/few.list"

for list in few all; do
  count=$(wc -l <"$work/$list.list")
  /usr/bin/time -f "%e %U %S %M" -o "$work/$list.time" \
    "$cli" convert --to txt,xbm --force --quiet --files-from "$work/$list.list" 2>"$work/$list.err" || true
  tail -1 "$work/$list.err"
  awk -v n="$count" '{ printf "%d files: wall %.1f s, CPU %.3f ms/file, peak memory %d kB\n", n, $1, ($2 + $3) * 1000 / n, $4 }' \
    "$work/$list.time"
done
