#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `vantor` as a script runs it: each window state the command line opens is
# drawn into a picture (offscreen), and arguments the window cannot take
# fail with the reason and no picture.
#   window_command_line.sh VANTOR GENERATE_PRESSURE GENERATE_SERIES
set -euo pipefail
vantor=$1 generate=$2 series=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
"$generate" "$work/au" 1 au >/dev/null
spectrum=$(ls "$work"/au/*.xbm)
printf '<<PMCA SPECTRUM>>\n<<DATA>>\n1\n2\n3\n<<END>>\n' >"$work/plain.mca"  # no calibration
"$series" "$work/run" 2 mgo 1478382099 600 5 6 300 400 60 80 >/dev/null

picture() {  # OUT ARGUMENTS...: exit 0 and a picture
  local out=$work/$1.png
  shift
  "$vantor" --screenshot "$out" "$@" 2>"$work/err" || { cat "$work/err"; echo "failed: $*"; exit 1; }
  [[ -s $out ]] || { echo "no picture: $*"; exit 1; }
}
refused() {  # TEXT ARGUMENTS...: exit non-zero, TEXT on stderr, no picture
  local text=$1
  shift
  if "$vantor" --screenshot "$work/no.png" "$@" 2>"$work/err"; then echo "taken: $*"; exit 1; fi
  grep -qF "$text" "$work/err" || { cat "$work/err"; echo "not said: $text"; exit 1; }
  [[ ! -e $work/no.png ]] || { echo "picture left: $*"; exit 1; }
}

picture pressure --x energy --log --zoom 30:90 --pressure au --temperature 300 --guess-pressure 10 "$spectrum"
picture peaks --peaks --min-snr 8 "$spectrum"
picture two-theta --calibrate-two-theta au "$spectrum"
picture energy --calibrate-energy Au-Ka1,Au-Kb1 "$spectrum"
picture series --series "$work/run" --pressure mgo
picture start
refused "unknown pressure standard" --pressure gold "$spectrum"
refused "not a folder" --series "$work/none" --pressure mgo
refused "need a FILE" --peaks
refused "none.xbm: Fine NotFound (No such file or directory)" "$work/none.xbm"
refused "no spectrum can be drawn against energy" --x energy "$work/plain.mca"
refused "unknown standard gold" --calibrate-two-theta gold "$spectrum"
echo "window command line: every state drawn, every refusal said"
