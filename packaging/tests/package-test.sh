#!/usr/bin/env bash
# scripts/package builds a Debian package of the build that installs everything under /usr:
# the five programs, the libraries and the registry naming them in /usr/lib/velmora, the
# outside programs in /usr/libexec/velmora, the help, manual pages, completions, desktop entry,
# icons and metadata; its Depends are computed and hold Ghostscript, its Recommends the
# converters; lintian finds no error in it, and a release build's programs are hardened.
# Arguments: the source folder, the build folder.
set -euo pipefail
source=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
deb=$(PACKAGE_DIR=$work BUILD_DIR=$build "$source/scripts/package")
version=$(sed -n 's/^#define VELMORA_VERSION "\(.*\)"$/\1/p' "$build/generated/velmora/Version.h")
[ "$deb" = "$work/velmora_${version}_$(dpkg --print-architecture).deb" ]

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for expected in /usr/bin/velmorade /usr/bin/gridane /usr/bin/turnelle /usr/bin/scanvey \
    /usr/bin/regsvr /usr/bin/velmora-cups /usr/lib/velmora/libgridane.so /usr/lib/velmora/libturnelle.so \
    /usr/lib/velmora/libprintpdf.so /usr/lib/velmora/libpadwick.so /usr/lib/velmora/registry \
    /usr/libexec/velmora/koblin /usr/libexec/velmora/quillet /usr/libexec/velmora/pictavo \
    /usr/libexec/velmora/wkhtmltopdf /usr/share/velmora/help/index.html \
    /usr/share/man/man1/velmorade.1.gz /usr/share/man/man1/gridane.1.gz \
    /usr/share/man/man1/velmora-cups.1.gz /usr/share/man/man5/velmora-setup.5.gz /usr/share/bash-completion/completions/gridane \
    /usr/share/applications/velmorade.desktop /usr/share/icons/hicolor/48x48/apps/velmorade.png \
    /usr/share/icons/hicolor/scalable/apps/velmorade.svg \
    /usr/share/metainfo/org.example.velmora.velmorade.metainfo.xml \
    /usr/lib/systemd/user/velmora-watch@.service /usr/lib/cups/backend/velmora \
    /usr/share/doc/velmora/copyright /usr/share/doc/velmora/changelog.gz; do
  grep -qxF "$expected" <<<"$files" || { echo "the package lacks $expected"; exit 1; }
done
# Everything is under /usr, nothing in the system's own library folder or in /usr/etc.
outside=$(grep -vE '^/$|^/usr(/|$)' <<<"$files" || true)
[ -z "$outside" ] || { echo "outside /usr: $outside"; exit 1; }
! grep -qE '^/usr/lib/[^/]+\.so|^/usr/etc' <<<"$files" || { echo "files in a system folder"; exit 1; }

# The registry names the modules where they are installed, not where they were staged.
dpkg-deb -x "$deb" "$work/tree"
grep -q '/usr/lib/velmora/libgridane.so' "$work/tree/usr/lib/velmora/registry"
! grep -q "$work" "$work/tree/usr/lib/velmora/registry"
# The print server's backend is velmora-cups, and the user unit starts the installed program.
[ "$(readlink -f "$work/tree/usr/lib/cups/backend/velmora")" = "$work/tree/usr/bin/velmora-cups" ]
grep -q '^ExecStart=/usr/bin/velmorade ' "$work/tree/usr/lib/systemd/user/velmora-watch@.service"

depends=$(dpkg-deb -f "$deb" Depends)
for package in ghostscript libqpdf libqt6widgets6 libcups2 libc6; do
  grep -q "$package" <<<"$depends" || { echo "Depends lacks $package: $depends"; exit 1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
grep -q wkhtmltopdf <<<"$recommends" && grep -q libreoffice-writer <<<"$recommends"

if command -v lintian >/dev/null; then
  # One run reports both the errors and the remarks a release build must not have.
  report=$(lintian --display-info "$deb" 2>&1 || true)
  errors=$(grep "^E:" <<<"$report" || true)
  [ -z "$errors" ] || { echo "lintian: $errors"; exit 1; }
  # A release build is hardened and stripped as Debian's own packages are (a sanitizer build
  # does its own checking).
  if ! grep -q '^VELMORA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    weak=$(grep -E 'hardening-no-(relro|bindnow|fortify-functions)|binary-has-unneeded-section' \
             <<<"$report" || true)
    [ -z "$weak" ] || { echo "lintian: $weak"; exit 1; }
  fi
fi
echo "1 passed, 0 failed"
