#!/usr/bin/env bash
# The desktop entry and the software-centre metadata pass their validators, the entry offers
# the program for the kinds of file the converters take besides PDF, the metadata lists the
# same kinds and carries the suite's version, and each hicolor icon has its folder's size.
# Arguments: the source folder's share/ (desktop/ui/share), the build folder.
set -euo pipefail
share=$1 build=$2
entry=$share/applications/velmorade.desktop
metainfo=$build/share/metainfo/org.example.velmora.velmorade.metainfo.xml
desktop-file-validate "$entry"
appstreamcli validate --no-net "$metainfo" >/dev/null

mimes=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d' | sort)
for kind in application/pdf image/tiff text/html application/msword text/csv \
            application/vnd.oasis.opendocument.text image/emf; do
  grep -qxF "$kind" <<<"$mimes" || { echo "the entry does not offer $kind"; exit 1; }
done
listed=$(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$metainfo" | sort)
[ "$mimes" = "$listed" ] || { echo "the entry and the metadata list different kinds"; exit 1; }
version=$(sed -n 's/^#define VELMORA_VERSION "\(.*\)"$/\1/p' "$build/generated/velmora/Version.h")
grep -q "<release version=\"$version\"" "$metainfo"

for icon in "$share"/icons/*/velmorade.png; do
  size=$(basename "$(dirname "$icon")")
  # The PNG header holds the width and height as big-endian numbers at bytes 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{print $3 * 256 + $4, $7 * 256 + $8}')
  [ "$width $height" = "$size $size" ] || { echo "$icon is ${width}x$height"; exit 1; }
done
echo "1 passed, 0 failed"
