#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Throughput of `vantor-cli convert` with all six outputs against the floor
# the disk sets: copying the produced output tree with `cp -r`; and the gain
# of converting on every core (the default) over one file at a time (-j 1).
#
#   bench/convert_bench.sh [FILES] [ROUNDS] [BUILD_DIR]
#
# Generates FILES record files of 4096 channels (default 1000), then
# alternates ROUNDS times (default 5): convert a fresh copy of the sources on
# every core (timed), the same with -j 1 (timed), move the sources aside,
# copy the outputs to a fresh folder (timed). Prints every round and the
# medians: files/s, MB/s written, CPU (user + sys) ms per source file, the
# ratios convert time / copy time and all cores / -j 1, and the peak memory
# of vantor-cli for 100 files and for FILES files.
#
# Output trees are never deleted between timed runs: removing thousands of
# files slows the file creation that follows for minutes. Everything is
# removed at the end. Every timed run starts after a sync, so that it never
# pays for writing back what an earlier run left dirty: the kernel's
# writeback threads would take a core from a run on every core, but not
# from a one-thread copy.
set -euo pipefail
cd "$(dirname "$0")/.."

files=${1:-1000}
rounds=${2:-5}
build=${3:-build}
cli=$build/bin/vantor-cli
generate=$build/bin/vantor-generate
outputs=rpt,txt,csv,npd,gsa,xbm

if [ ! -x /usr/bin/time ]; then
  echo "convert_bench: /usr/bin/time is missing (apt-get install time)" >&2
  exit 2
fi
if [ ! -x "$cli" ] || [ ! -x "$generate" ]; then
  echo "convert_bench: build $cli and $generate first (a Release or RelWithDebInfo build)" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$generate" "$work/sources" "$files" 4096 run
"$generate" "$work/sources100" 100 4096 run

# Runs a command under /usr/bin/time; prints "wall user sys maxrss_kb".
timed() {
  local stats=$work/time.$$
  sync  # untimed: the earlier runs' data reaches the disk first
  /usr/bin/time -f "%e %U %S %M" -o "$stats" "$@" >/dev/null 2>>"$work/stderr.log"
  cat "$stats"
}

# Converts a fresh copy of a source folder in place; prints the timing.
# Further arguments go to vantor-cli (-j 1).
convert_copy_of() {
  local from=$1 to=$2
  shift 2
  cp -r "$from" "$to"
  timed "$cli" convert --to "$outputs" --force "$@" "$to"/*.xbm
}

# Moves the sources out of a converted folder and checks the outputs.
set_outputs_apart() {
  local run=$1 round=$2
  mkdir "$run.sources"
  mv "$run"/*.xbm "$run.sources"/  # the _.XBM outputs stay
  produced=$(find "$run" -type f | wc -l)
  if [ "$produced" -ne $((files * 6)) ]; then
    echo "convert_bench: round $round produced $produced files in $run, expected $((files * 6))" >&2
    cat "$work/stderr.log" >&2
    exit 1
  fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/convert.txt"
: >"$work/serial.txt"
: >"$work/copy.txt"
for ((round = 1; round <= rounds; round++)); do
  # Which of the two goes first alternates, so neither always meets a
  # colder or warmer disk cache.
  if ((round % 2)); then
    convert_copy_of "$work/sources" "$work/run$round" >>"$work/convert.txt"
    convert_copy_of "$work/sources" "$work/serial$round" -j 1 >>"$work/serial.txt"
  else
    convert_copy_of "$work/sources" "$work/serial$round" -j 1 >>"$work/serial.txt"
    convert_copy_of "$work/sources" "$work/run$round" >>"$work/convert.txt"
  fi
  set_outputs_apart "$work/run$round" "$round"
  set_outputs_apart "$work/serial$round" "$round"
  if ! diff -r -q "$work/run$round" "$work/serial$round" >&2; then
    echo "convert_bench: round $round: all cores and -j 1 wrote different outputs" >&2
    exit 1
  fi
  timed cp -r "$work/run$round" "$work/copy$round" >>"$work/copy.txt"
  paste -d' ' "$work/convert.txt" "$work/serial.txt" "$work/copy.txt" | tail -1 |
    awk -v r="$round" -v n="$files" '{ printf "round %d: all cores %.3f s (CPU %.3f ms/file), -j 1 %.3f s (CPU %.3f ms/file), copy %.3f s; all cores / -j 1 %.2f, convert / copy %.2f, convert -j1 / copy %.2f\n", r, $1, ($2 + $3) * 1000 / n, $5, ($6 + $7) * 1000 / n, $9, $1 / $5, $1 / $9, $5 / $9 }'
done

bytes=$(du -sb "$work/run1" | cut -f1)
wall() { cut -d' ' -f1 "$1" | median; }
cpu() { awk '{ print $2 + $3 }' "$1" | median; }
peak_all=$(cut -d' ' -f4 "$work/convert.txt" "$work/serial.txt" | sort -g | tail -1)
peak_100=$(convert_copy_of "$work/sources100" "$work/run100" | cut -d' ' -f4)

awk -v files="$files" -v rounds="$rounds" -v bytes="$bytes" -v cw="$(wall "$work/convert.txt")" \
    -v cc="$(cpu "$work/convert.txt")" -v sw="$(wall "$work/serial.txt")" -v sc="$(cpu "$work/serial.txt")" \
    -v pw="$(wall "$work/copy.txt")" -v p100="$peak_100" -v pall="$peak_all" \
    'BEGIN {
  printf "files per run          %d (4096 channels, outputs rpt,txt,csv,npd,gsa,xbm)\n", files
  printf "rounds                 %d (medians below; ratios of medians)\n", rounds
  printf "output per run         %.1f MB in %d files\n", bytes / 1e6, files * 6
  printf "convert wall           %.3f s all cores, %.3f s -j 1\n", cw, sw
  printf "copy (cp -r) wall      %.3f s\n", pw
  printf "files/s                %.0f all cores, %.0f -j 1\n", files / cw, files / sw
  printf "MB/s written           %.1f all cores, %.1f -j 1\n", bytes / 1e6 / cw, bytes / 1e6 / sw
  printf "CPU per source file    %.3f ms all cores, %.3f ms -j 1 (user + sys)\n", cc * 1000 / files, sc * 1000 / files
  printf "ratio convert / copy   %.2f\n", (pw > 0 ? cw / pw : 0)
  printf "ratio convert -j1 / copy %.2f\n", (pw > 0 ? sw / pw : 0)
  printf "time all cores / -j1   %.2f\n", (sw > 0 ? cw / sw : 0)
  printf "peak memory vantor-cli %d kB (100 files), %d kB (%d files)\n", p100, pall, files
}'
echo "raw convert runs, all cores (wall user sys maxrss_kb):"
cat "$work/convert.txt"
echo "raw convert runs, -j 1 (wall user sys maxrss_kb):"
cat "$work/serial.txt"
echo "raw copy runs (wall user sys maxrss_kb):"
cat "$work/copy.txt"
