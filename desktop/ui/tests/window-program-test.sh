#!/usr/bin/env bash
# The real velmorade program in window mode under Xvfb: started with an input, an output and
# -p -q on its command line, it opens its main window, imposes, closes, and leaves an output
# that passes qpdf --check. Arguments: the velmorade program, the sample PDF.
set -euo pipefail
program=$1 sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/in put.pdf"
export XDG_CONFIG_HOME=$work/config HOME=$work QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/velmora"
printf 'HTM;1\r\n' > "$XDG_CONFIG_HOME/velmora/conversion.ini"
cd "$work"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$work/in put.pdf" -o "$work/out put.pdf" -p -q
qpdf --check "$work/out put.pdf" >/dev/null
[ "$(qpdf --show-npages "$work/out put.pdf")" = 4 ]
# Closing with -q saved the job in the user's configuration folder.
grep -q "^INFILE;$work/in put.pdf" "$XDG_CONFIG_HOME/velmora/Default.plf"

# SIGTERM to the open window saves the settings as every close does, and ends with 128 + 15.
cat > "$work/terminate.sh" <<'SCRIPT'
#!/usr/bin/env bash
"$1" "$2" & pid=$!
for _ in $(seq 600); do
  xwininfo -root -tree | grep -q 'Velmora Desktop Edition' && break
  sleep 0.1
done
# The title names the program once: the platform adds no name of its own after it.
if ! xwininfo -root -tree | grep -q '"Velmora Desktop Edition v[0-9.]* - Corvell Software ":'; then
  xwininfo -root -tree | grep Velmora >&2
  kill -TERM "$pid"; wait "$pid"; exit 1
fi
kill -TERM "$pid"
status=0; wait "$pid" || status=$?
[ "$status" = 143 ]
SCRIPT
chmod +x "$work/terminate.sh"
rm "$XDG_CONFIG_HOME/velmora/Default.plf"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$work/terminate.sh" "$program" "$work/term.pdf"
grep -q "^INFILE;$work/term.pdf" "$XDG_CONFIG_HOME/velmora/Default.plf"
echo "2 passed, 0 failed"
