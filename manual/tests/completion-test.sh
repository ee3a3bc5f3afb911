#!/usr/bin/env bash
# The generated completions, run as bash runs them: each case sets the words typed so far and
# checks what the program's function offers. COMP_WORDBREAKS splits "--sheet=A" into three
# words; the same line typed as one word must complete too.
set -uo pipefail
completions=$1/share/bash-completion/completions
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/jobs folder"
touch "$work/booklet.plf" "$work/scan.tif"
cd "$work"
failures=0

# offers PROGRAM EXPECTED WORD...: the completion of the last WORD holds EXPECTED.
offers() {
  local program=$1 expected=$2
  shift 2
  local got
  got=$(
    compopt() { :; }  # only meaningful inside a real completion
    source "$completions/$program"
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    "_velmora_$program"
    printf '%s\n' "${COMPREPLY[@]}"
  )
  if ! grep -qxF -- "$expected" <<<"$got"; then
    echo "FAIL: $program $* offers [$(tr '\n' ' ' <<<"$got")], not [$expected]"
    failures=$((failures + 1))
  fi
}

offers gridane --outer_in --out
offers gridane --sheet= --she
offers gridane A4 --sheet = A
offers gridane 'US\ Letter' --sheet = us
offers gridane --sheet=Legal --sheet=leg
offers gridane A0 --poster = A0
offers gridane --overlap= --overl
offers gridane booklet.plf --seq = book
offers gridane --version --vers
offers turnelle --rotateAngle= --rotateA
offers velmorade booklet.plf -h -c book
offers velmorade 'jobs folder' -h -f jobs
offers velmorade -j -
offers velmorade scan.tif -h sc
offers scanvey -iscan.tif -isc
offers scanvey --help --he
offers regsvr -u -
offers velmora-cups --add-printer --add
offers velmora-cups booklet.plf --add-printer B --to Office --setup book
[ "$failures" = 0 ] && echo "1 passed, 0 failed" || { echo "0 passed, 1 failed"; exit 1; }
