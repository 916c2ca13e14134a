#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pressure speed and accuracy: `vantor-cli pressure --json` over generated Au
# spectra (4096 channels, 0-30 GPa, 300-1300 K, a second phase and Au K
# fluorescence in the way) on one core, start-up included, against the plain
# SciPy script bench/pressure_scipy.py on the same files; then --table over a
# folder of many spectra. Builds nothing: build the targets first with
#   cmake --build build --target vantor-cli vantor-generate-pressure
#
#   bench/pressure_bench.sh [SPECTRA] [TABLE_SPECTRA] [BUILD_DIR]   (defaults 500, 10000, build)
set -euo pipefail
cd "$(dirname "$0")/.."

spectra=${1:-500}
table_spectra=${2:-10000}
build=${3:-build}
cli=$build/bin/vantor-cli
generate=$build/bin/vantor-generate-pressure
for program in "$cli" "$generate"; do
  [[ -x $program ]] || { echo "no $program: build it first" >&2; exit 1; }
done
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c 0); fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU seconds (user + system) of a command, its output to $work/out.
cpu() {
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" >"$work/out" 2>"$work/err"
  awk '{ printf "%.3f", $1 + $2 }' "$work/time"
}

# How many results lie within max(3 sigma, 0.1 GPa) of the truth (a sigma of 0: SciPy's, which has none).
accuracy() {
  /usr/bin/python3 - "$1" "$2" <<'EOF'
import csv, json, sys
truth = {r["file"]: float(r["pressure_GPa"]) for r in csv.DictReader(open(sys.argv[1]))}
text = open(sys.argv[2]).read()
if text.lstrip().startswith("["):
    rows = [(r["file"], r.get("pressure"), r.get("pressure_sigma", 0)) for r in json.loads(text)]
else:
    rows = [(f, float(p), 0.0) for f, _, p in (line.split(",") for line in text.splitlines())]
good = sum(1 for f, p, s in rows if p is not None and abs(p - truth[f.rsplit("/", 1)[-1]]) <= max(3 * s, 0.1))
print(f"{good} of {len(truth)} within max(3 sigma, 0.1 GPa)")
EOF
}

"$generate" "$work/au" "$spectra" au >"$work/truth.csv"
best=""
for round in 1 2 3; do
  seconds=$(cpu "${pin[@]}" "$cli" pressure --json --standard au "$work/au")
  if [[ -z $best ]] || awk "BEGIN { exit !($seconds < $best) }"; then best=$seconds; fi
done
cp "$work/out" "$work/vantor.json"
vantor_ms=$(awk "BEGIN { printf \"%.3f\", 1000 * $best / $spectra }")
echo "vantor-cli pressure --json: $vantor_ms ms CPU per spectrum, start-up included (best of 3, $spectra spectra, one core)"
echo "  $(accuracy "$work/truth.csv" "$work/vantor.json")"

seconds=$(cpu "${pin[@]}" /usr/bin/python3 bench/pressure_scipy.py "$work"/au/*.xbm)
scipy_ms=$(awk "BEGIN { printf \"%.3f\", 1000 * $seconds / $spectra }")
echo "SciPy script: $scipy_ms ms CPU per spectrum, start-up included ($(cat "$work/err"))"
echo "  $(accuracy "$work/truth.csv" "$work/out")"
echo "ratio: $(awk "BEGIN { printf \"%.1f\", $scipy_ms / $vantor_ms }") x"

"$generate" "$work/table" "$table_spectra" au >/dev/null
start=$(date +%s.%N)
seconds=$(cpu "$cli" pressure --standard au --table "$work/table.csv" "$work/table")
wall=$(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $start }")
rows=$(($(wc -l <"$work/table.csv") - 1))
echo "--table over $table_spectra spectra: $wall s wall, $seconds s CPU, $rows rows"
