#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer harnesses with clang in build-fuzz/ and runs each one
# for a bounded time on its seed corpus. Fails on any crash, leak, timeout
# (an input taking over a second) or sanitizer report.
#
#   VANTOR_FUZZ_SECONDS  seconds per harness (default 30)
#   VANTOR_FUZZ_ONLY     run only these harnesses, e.g. "record listfile"
#   VANTOR_FUZZ_BUILD    build directory (default build-fuzz)
#   VANTOR_REALDATA_DIR  real files from other programs (default ../shared/realdata)
#
# New inputs found go to $VANTOR_FUZZ_BUILD/corpus/<parser>/, never into the
# repository; an input that fails is saved under $VANTOR_FUZZ_BUILD/artifacts/
# — copy it into tests/fuzz/corpus/<parser>/ as a regression case.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
seconds="${VANTOR_FUZZ_SECONDS:-30}"
build="${VANTOR_FUZZ_BUILD:-build-fuzz}"
clang_c="${VANTOR_FUZZ_CC:-clang-14}"
clang_cxx="${VANTOR_FUZZ_CXX:-clang++-14}"

CC="$clang_c" CXX="$clang_cxx" cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_FUZZ=ON -DVANTOR_BUILD_UI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target vantor_fuzzers

# The file-reading harnesses write every input to a file: a memory-backed
# folder makes them several times faster.
if [[ -z "${TMPDIR:-}" && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
harnesses="${VANTOR_FUZZ_ONLY:-$(cd tests/fuzz/corpus && ls)}"
declare -A detector_folders=([chn]=chn [accuspec]=mca-accuspec [n42]=n42)

# One harness for its time; its verdict goes to $build/fuzz-<parser>.result.
fuzz_one() {
  local parser=$1
  local binary="$build/bin/fuzz_$parser"
  local result="$build/fuzz-$parser.result"
  [[ -x "$binary" ]] || { echo "no harness for $parser" >&2; echo failed >"$result"; return; }
  local work="$build/corpus/$parser"
  local artifacts="$build/artifacts/$parser/"
  mkdir -p "$work" "$artifacts"
  local log="$build/fuzz-$parser.log"
  local seeds=("tests/fuzz/corpus/$parser")
  local options=()
  local realdata="${VANTOR_REALDATA_DIR:-../shared/realdata}"
  if [[ "$parser" == cnf ]]; then
    # Analyser files from other instruments, when the shared data is there,
    # whole: their data sections lie up to 224 256 bytes in.
    [[ -d "$realdata/cnf" ]] && seeds+=("$realdata/cnf")
    options+=(-max_len=230000)
  fi
  # The detector formats' real files, whole, beside the small seeds.
  if [[ -n "${detector_folders[$parser]:-}" ]]; then
    local folder="$realdata/${detector_folders[$parser]}"
    [[ -d "$folder" ]] && seeds+=("$folder") && options+=(-max_len=250000)
  fi
  if "$binary" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts" "${options[@]}" "$work" "${seeds[@]}" >"$log" 2>&1; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units)' "$log" | sed "s/^/  $parser: /"
    echo passed >"$result"
  else
    echo "  $parser FAILED; log: $log, inputs: $artifacts" >&2
    grep -E 'ERROR|SUMMARY|check failed|runtime error' "$log" | head -5 >&2 || true
    echo failed >"$result"
  fi
}

# As many harnesses at once as there are cores: each is one process.
workers=$(nproc)
echo "fuzzing each parser for ${seconds}s, $workers at a time"
for parser in $harnesses; do
  while (($(jobs -rp | wc -l) >= workers)); do wait -n || true; done
  rm -f "$build/fuzz-$parser.result"
  fuzz_one "$parser" &
done
wait
failed=()
passed=0
for parser in $harnesses; do
  if [[ "$(cat "$build/fuzz-$parser.result" 2>/dev/null)" == passed ]]; then
    passed=$((passed + 1))
  else
    failed+=("$parser")
  fi
done
echo "fuzz: $passed passed, ${#failed[@]} failed"
if ((${#failed[@]})); then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
