#!/usr/bin/env bash
# `cmake --install` into a temporary prefix gives a working menu entry: the desktop entry is
# there, offers the program for PDF files and names an installed program; the program it
# starts (in window mode, under Xvfb, from another working folder, with a fresh user) finds its
# servers through the installation's registry, its padding library and its cleaning scripts,
# and imposes a file. Arguments: the build folder, the sample PDF.
set -euo pipefail
build=$1 sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

entry=$prefix/share/applications/velmorade.desktop
[ -f "$entry" ] || { echo "no desktop entry"; exit 1; }
grep -q '^MimeType=.*application/pdf;' "$entry"
grep -q '^Icon=velmorade$' "$entry"
[ -f "$prefix/share/icons/hicolor/scalable/apps/velmorade.svg" ]
[ -f "$prefix/share/velmora/help/index.html" ]
[ -f "$prefix/share/velmora/help/layout-2up-booklet.png" ]
grep -q 'libgridane.so' "$prefix/etc/velmora/registry"
grep -q 'libturnelle.so' "$prefix/etc/velmora/registry"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi

# The menu's command line, with %f as the file the user opened with it.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
program=${exec_line%% *}
[ "$program" = "$prefix/bin/velmorade" ]
cp "$sample" "$work/opened file.pdf"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/velmora" "$work/elsewhere"
printf 'HTM;1\r\n' > "$XDG_CONFIG_HOME/velmora/conversion.ini"
cd "$work/elsewhere"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" \
  "$program" "$work/opened file.pdf" -o "$work/from the menu.pdf" -p -q
qpdf --check "$work/from the menu.pdf" >/dev/null
[ "$(qpdf --show-npages "$work/from the menu.pdf")" = 4 ]
echo "1 passed, 0 failed"
