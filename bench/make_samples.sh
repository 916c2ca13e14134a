#!/usr/bin/env bash
# Regenerates the example files under samples/ with our own generator.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target vantor-generate vantor-cli >/dev/null
rm -rf samples && mkdir samples
build/bin/vantor-generate samples 3 1024 run
