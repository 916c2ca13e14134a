#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the example files under samples/ with our own generator.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target vantor-generate vantor-generate-sources vantor-cli >/dev/null
rm -rf samples && mkdir samples
build/bin/vantor-generate samples 3 1024 run
build/bin/vantor-generate-sources samples 256
