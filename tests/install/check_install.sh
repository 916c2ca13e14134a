#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks what a user gets:
# the programs answer --version, the desktop entry is valid, the manual pages
# render and name every option, the samples are there, and the file types
# sort record files from X bitmaps and analyser files from text .cnf files.
# A check whose tool is missing is skipped with a note.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION WITH_UI
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4 with_ui=$5
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "skipped: $*"; }
has() { command -v "$1" >/dev/null; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
share=$prefix/share
programs=(vantor-cli)
[ "$with_ui" = 1 ] && programs+=(vantor)

expected=(share/mime/packages/vantor.xml share/man/man1/vantor-cli.1.gz
          share/doc/vantor/copyright share/doc/vantor/changelog.Debian.gz)
[ "$with_ui" = 1 ] && expected+=(share/man/man1/vantor.1.gz share/applications/vantor.desktop
                                 share/icons/hicolor/scalable/apps/vantor.svg)
for f in "${expected[@]}"; do [ -s "$prefix/$f" ] || fail "$f missing"; done
for f in "$source"/samples/*; do
  cmp -s "$f" "$share/vantor/samples/${f##*/}" || fail "sample ${f##*/} missing or changed"
done

# --version and --help answer without a display.
for p in "${programs[@]}"; do
  first=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$p" --version | head -n 1)
  [ "$first" = "$p $version" ] || fail "$p --version said '$first'"
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$p" --help | grep -q "^Usage" || fail "$p --help"
done

if [ "$with_ui" = 1 ]; then
  if has desktop-file-validate; then
    out=$(desktop-file-validate "$share/applications/vantor.desktop" 2>&1) || fail "desktop entry: $out"
    [ -z "$out" ] || fail "desktop entry: $out"
  else skip "desktop-file-validate not installed (desktop-file-utils)"; fi
fi

if has man; then
  for page in "$share"/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "${page##*/} renders with warnings: $warnings"
    MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^NAME" || fail "${page##*/} does not render"
    zgrep -q -F "$share/vantor/samples" "$page" || fail "${page##*/} does not name the samples folder"
  done
else skip "man not installed (man-db)"; fi
# Every command and long option of vantor-cli is in its manual.
page=$(zcat "$share/man/man1/vantor-cli.1.gz" | sed 's/\\-/-/g')
commands=$("$prefix/bin/vantor-cli" --help | sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "vantor-cli --help lists no commands"
for command in $commands; do
  grep -q -F -- ".SS $command" <<<"$page" || fail "vantor-cli.1 lacks the command $command"
  for option in $("$prefix/bin/vantor-cli" "$command" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -F -- "$option" <<<"$page" || fail "vantor-cli.1 lacks $command $option"
  done
done

if has xmllint; then
  xmllint --noout "$share/mime/packages/vantor.xml" || fail "vantor.xml is not well-formed"
  [ "$with_ui" = 1 ] && { xmllint --noout "$share/icons/hicolor/scalable/apps/vantor.svg" || fail "icon SVG"; }
else skip "xmllint not installed (libxml2-utils)"; fi

# The file types as a GLib file manager sees them, with our types in a
# database of their own beside the system's.
if has update-mime-database && has gio && [ -e /usr/share/mime/mime.cache ]; then
  update-mime-database "$share/mime" >/dev/null 2>&1 || fail "update-mime-database"
  files=$(mktemp -d -p "$prefix")
  cp "$source/samples/run0001.xbm" "$source/samples/analyser.cnf" "$source/samples/profile.npd" \
     "$source/samples/export.csv" "$files/"
  printf '#define i_width 8\n#define i_height 1\nstatic unsigned char i_bits[] = { 0x18 };\n' >"$files/image.xbm"
  printf '[ req ]\ndefault_bits = 2048\n' >"$files/openssl.cnf"
  while read -r name type; do
    got=$(XDG_DATA_HOME=$share gio info -a standard::content-type "$files/$name" 2>/dev/null |
          sed -n 's/.*standard::content-type: //p')
    [ "$got" = "$type" ] || fail "$name is '$got', expected $type"
  done <<'TYPES'
run0001.xbm application/x-vantor-record
image.xbm image/x-xbitmap
analyser.cnf application/x-vantor-analyser
openssl.cnf text/plain
profile.npd application/x-vantor-profile
export.csv text/csv
TYPES
else skip "update-mime-database or gio not installed (shared-mime-info, libglib2.0-bin)"; fi

[ "$failures" = 0 ] && echo "installed tree OK"
exit $((failures > 0))
