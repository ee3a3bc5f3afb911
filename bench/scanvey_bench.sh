#!/usr/bin/env bash
# Benchmark: scanvey beside img2pdf and tiff2pdf on a 20-page 300 dpi bilevel TIFF, a 20-page
# 300 dpi colour TIFF and a few large JPEG and PNG files. Prints wall and CPU time and output
# size per tool and input, and each size relative to img2pdf's.
#
#   bench/scanvey_bench.sh [build folder]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
scanvey="$build/bin/scanvey"
[ -x "$scanvey" ] || { echo "build first: $scanvey is missing" >&2; exit 1; }
for tool in img2pdf tiff2pdf gs convert tiffcp; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Twenty letter pages of text, rules and colour blocks, rendered at 300 dpi.
cat > pages.ps <<'PS'
/Times-Roman findfont 11 scalefont setfont
1 1 20 {
  /p exch def
  0 0 0 setrgbcolor
  72 720 moveto (Page ) show p 3 string cvs show
  700 -12 100 { 72 exch moveto
    (The quick brown fox jumps over the lazy dog, again and again, line after line.) show
  } for
  p 7 mod 7 div 0.4 0.8 setrgbcolor 320 300 200 150 rectfill
  0.9 0.5 0.1 setrgbcolor 80 120 p 10 mul add 150 80 rectfill
  showpage
} for
PS
echo "making inputs in $work ..."
gs -q -dSAFER -sPAPERSIZE=letter -r300 -sDEVICE=tiffg4 -o bilevel.tif pages.ps
gs -q -dSAFER -sPAPERSIZE=letter -r300 -sDEVICE=tiff24nc -o colour_raw.tif pages.ps
tiffcp -c lzw colour_raw.tif colour.tif && rm colour_raw.tif
# A photograph-like picture (8 bits a sample): smooth colour with grain, as a camera JPEG and
# as a PNG.
convert -size 4000x3000 gradient:navy-orange -attenuate 0.25 +noise Gaussian \
  -depth 8 -units PixelsPerInch -density 300 photo.ppm
convert photo.ppm -quality 90 photo.jpg
convert photo.ppm photo.png
# A screenshot-like PNG: flat colour and text.
gs -q -dSAFER -sPAPERSIZE=a4 -r300 -sDEVICE=png16m -dFirstPage=1 -dLastPage=1 -o page.png pages.ps
rm photo.ppm

run() {  # tool input output success-code command...
  local tool=$1 input=$2 output=$3 success=$4; shift 4
  local timing code=0
  # wall, user and system seconds of the command
  timing=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 ) || code=$?
  if [ "$code" != "$success" ]; then printf '%-12s %-10s failed\n' "$input" "$tool"; return; fi
  echo "$input $tool $timing $(stat -c %s "$output")" >> results.txt
}

: > results.txt
for input in bilevel.tif colour.tif photo.jpg photo.png page.png; do
  run scanvey "$input" "$input.scanvey.pdf" 1 "$scanvey" "-i$input" "-o$input.scanvey.pdf"
  run img2pdf "$input" "$input.img2pdf.pdf" 0 img2pdf -o "$input.img2pdf.pdf" "$input"
  case $input in
    *.tif) run tiff2pdf "$input" "$input.tiff2pdf.pdf" 0 tiff2pdf -o "$input.tiff2pdf.pdf" "$input" ;;
  esac
  qpdf --check "$input.scanvey.pdf" >/dev/null || echo "qpdf --check failed for $input"
done

# The machine may be shared: CPU seconds (user + system) show the work done, wall seconds
# include waiting for a processor.
printf '%-12s %-9s %8s %8s %12s %11s\n' input tool wall_s cpu_s bytes vs_img2pdf
awk '
  { input[NR] = $1; tool[NR] = $2; wall[NR] = $3; cpu[NR] = $4 + $5; bytes[NR] = $6
    if ($2 == "img2pdf") ref[$1] = $6 }
  END { for (i = 1; i <= NR; i++)
          printf "%-12s %-9s %8.2f %8.2f %12d %11.3f\n", input[i], tool[i], wall[i], cpu[i],
                 bytes[i], bytes[i] / ref[input[i]] }' results.txt
