#!/usr/bin/env bash
# Throughput of `vantor-cli convert` with all six outputs against the floor
# the disk sets: copying the produced output tree with `cp -r`.
#
#   bench/convert_bench.sh [FILES] [ROUNDS] [BUILD_DIR]
#
# Generates FILES record files of 4096 channels (default 1000), then
# alternates ROUNDS times (default 5): convert a fresh copy of the sources
# (timed), move the sources aside, copy the outputs to a fresh folder
# (timed). Prints medians: files/s, MB/s written, CPU (user + sys) ms per
# source file, the ratio convert time / copy time, and the peak memory of
# vantor-cli for 100 files and for FILES files.
#
# Output trees are never deleted between timed runs: removing thousands of
# files slows the file creation that follows for minutes. Everything is
# removed at the end.
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
  /usr/bin/time -f "%e %U %S %M" -o "$stats" "$@" >/dev/null 2>>"$work/stderr.log"
  cat "$stats"
}

# Converts a fresh copy of a source folder in place; prints the timing.
convert_copy_of() {
  local from=$1 to=$2
  cp -r "$from" "$to"
  timed "$cli" convert --to "$outputs" --force "$to"/*.xbm
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
least() { sort -g | head -1; }

: >"$work/convert.txt"
: >"$work/copy.txt"
for ((round = 1; round <= rounds; round++)); do
  convert_copy_of "$work/sources" "$work/run$round" >>"$work/convert.txt"
  mkdir "$work/sources-used$round"
  mv "$work/run$round"/*.xbm "$work/sources-used$round"/  # the _.XBM outputs stay
  expected=$((files * 6))
  produced=$(find "$work/run$round" -type f | wc -l)
  if [ "$produced" -ne "$expected" ]; then
    echo "convert_bench: round $round produced $produced files, expected $expected" >&2
    cat "$work/stderr.log" >&2
    exit 1
  fi
  timed cp -r "$work/run$round" "$work/copy$round" >>"$work/copy.txt"
done

bytes=$(du -sb "$work/run1" | cut -f1)
convert_wall=$(cut -d' ' -f1 "$work/convert.txt" | median)
convert_cpu=$(awk '{ print $2 + $3 }' "$work/convert.txt" | median)
copy_wall=$(cut -d' ' -f1 "$work/copy.txt" | median)
# The fastest runs too: on a shared machine other work only ever adds time.
convert_best=$(cut -d' ' -f1 "$work/convert.txt" | least)
convert_cpu_best=$(awk '{ print $2 + $3 }' "$work/convert.txt" | least)
copy_best=$(cut -d' ' -f1 "$work/copy.txt" | least)
peak_all=$(cut -d' ' -f4 "$work/convert.txt" | sort -g | tail -1)
peak_100=$(convert_copy_of "$work/sources100" "$work/run100" | cut -d' ' -f4)

awk -v files="$files" -v rounds="$rounds" -v bytes="$bytes" -v cw="$convert_wall" \
    -v cc="$convert_cpu" -v pw="$copy_wall" -v p100="$peak_100" -v pall="$peak_all" \
    -v cb="$convert_best" -v ccb="$convert_cpu_best" -v pb="$copy_best" 'BEGIN {
  printf "files per run          %d (4096 channels, outputs rpt,txt,csv,npd,gsa,xbm)\n", files
  printf "rounds                 %d (medians below)\n", rounds
  printf "output per run         %.1f MB in %d files\n", bytes / 1e6, files * 6
  printf "convert wall           %.3f s\n", cw
  printf "copy (cp -r) wall      %.3f s\n", pw
  printf "files/s                %.0f source files/s\n", files / cw
  printf "MB/s written           %.1f\n", bytes / 1e6 / cw
  printf "CPU per source file    %.3f ms (user + sys)\n", cc * 1000 / files
  printf "ratio convert / copy   %.2f\n", (pw > 0 ? cw / pw : 0)
  printf "fastest runs           convert %.3f s (CPU %.3f ms/file), copy %.3f s, ratio %.2f\n", cb, ccb * 1000 / files, pb, (pb > 0 ? cb / pb : 0)
  printf "peak memory vantor-cli %d kB (100 files), %d kB (%d files)\n", p100, pall, files
}'
echo "raw convert runs (wall user sys maxrss_kb):"
cat "$work/convert.txt"
echo "raw copy runs (wall user sys maxrss_kb):"
cat "$work/copy.txt"
