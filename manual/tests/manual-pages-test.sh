#!/usr/bin/env bash
# Every manual page renders with no warning from groff (-ww: all of them), each program's page
# names every option its --help prints, and every program prints the suite's one version.
set -euo pipefail
build=$1 man=$1/share/man
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for page in "$man"/man1/{velmorade,gridane,turnelle,scanvey,regsvr,velmora-cups}.1 "$man"/man5/velmora-setup.5; do
  [ -s "$page" ] || { fail "$page missing"; continue; }
  warnings=$(groff -ww -z -man "$page" 2>&1) || fail "groff failed on $page"
  [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
  grep -q '^\.SH NAME' "$page" || fail "$page has no NAME section"
done

version=$(sed -n 's/^#define VELMORA_VERSION "\(.*\)"$/\1/p' "$build/generated/velmora/Version.h")
for program in velmorade gridane turnelle scanvey regsvr velmora-cups; do
  help=$("$build/bin/$program" --help)
  # The options --help lists ("--sheet=TEXT", "-c FILE", "-iFILE") by their names; velmora-cups
  # names its options in its text.
  if [ "$program" = velmora-cups ]; then
    options=$(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u)
  else
    options=$(grep -oE '^  (--[A-Za-z0-9_][A-Za-z0-9_-]*|-[A-Za-z0-9])' <<<"$help" | sed 's/^  //' | sort -u)
  fi
  [ -n "$options" ] || fail "$program --help lists no option"
  rendered=$(sed 's/\\-/-/g' "$man/man1/$program.1")
  for option in $options; do
    grep -qE "fB$option(\\\\fR|$)" <<<"$rendered" || fail "$program.1 lacks $option"
  done
  [ "$("$build/bin/$program" --version)" = "$program (Velmora Desktop Edition) $version" ] ||
    fail "$program --version: $("$build/bin/$program" --version)"
done
grep -q '^\.B SHEET$' "$man/man5/velmora-setup.5" || fail "velmora-setup.5 lacks SHEET"
grep -q '^\.B HTMLZOOM$' "$man/man5/velmora-setup.5" || fail "velmora-setup.5 lacks HTMLZOOM"
[ "$failures" = 0 ] && echo "1 passed, 0 failed" || { echo "0 passed, 1 failed"; exit 1; }
