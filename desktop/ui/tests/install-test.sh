#!/usr/bin/env bash
# `cmake --install` into a temporary prefix gives a working menu entry: the desktop entry is
# there, offers the program for PDF files and names an installed program; the program it
# starts (in window mode, under Xvfb, from another working folder, with a fresh user) finds its
# servers through the installation's registry, its padding library and its cleaning scripts,
# and imposes a file. Only the programs users call are in PREFIX/bin; the converters, their
# helpers and the cleaning scripts are in PREFIX/libexec/velmora, where the installed program
# finds them with nothing of the build on PATH. Arguments: the build folder, the sample PDF.
set -euo pipefail
build=$1 sample=$(realpath "$2")
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
grep -q 'libgridane.so' "$prefix/lib/velmora/registry"
grep -q 'libturnelle.so' "$prefix/lib/velmora/registry"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi

# PREFIX/bin holds only the programs users call: nothing there shadows a system program.
[ "$(ls "$prefix/bin" | sort | tr '\n' ' ')" = "gridane regsvr scanvey turnelle velmora-cups velmorade " ]
for helper in koblin koblinp quillet brannock pictavo pictavo-draw wkhtmltopdf; do
  [ -x "$prefix/libexec/velmora/$helper" ] || { echo "no helper $helper"; exit 1; }
done
for module in converter_program.py velmora_office.py office_service.py office_client.py; do
  [ -f "$prefix/libexec/velmora/$module" ] || { echo "no module $module"; exit 1; }
done

# The installed program converts and cleans with the installed helpers alone. The output's
# producer shows that the cleaning script re-made it; the picture goes through pictavo and the
# DPL library of the installation.
mkdir -p "$work/quiet"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r30 -dLastPage=1 -o "$work/quiet/picture.png" "$sample"
inputs=("$sample" "$work/quiet/picture.png")
if command -v soffice >/dev/null; then
  printf 'Installed notes\n' > "$work/quiet/notes.txt"
  inputs+=("$work/quiet/notes.txt")
fi
for input in "${inputs[@]}"; do
  out="$work/quiet/$(basename "$input").imposed.pdf"
  errors=$( cd "$work/quiet" && env -i HOME="$work/home" PATH=/usr/bin:/bin \
      XDG_CONFIG_HOME="$work/quiet-config" "$prefix/bin/velmorade" -h -o "$out" "$input" -p 2>&1 ) \
    || { echo "velmorade failed on $input: $errors"; exit 1; }
  [ -z "$errors" ] || { echo "velmorade said on $input: $errors"; exit 1; }
  qpdf --check "$out" >/dev/null
  pdfinfo "$out" | grep -q '^Producer:.*Ghostscript' || { echo "$out was not cleaned"; exit 1; }
done

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
