#!/usr/bin/env bash
# Time and peak memory of qrptool on the attack pages that the unit tests
# generate: render to PNG, PDF and SVG, and export to CSV, HTML and text, each under
# /usr/bin/time -v. A run fails past 5 s, past 256 MB or with an exit status
# other than 0 and 1.
#   bench/attack_pages.sh [build dir]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
tool=$build/src/cli/qrptool
tests=$build/tests/test_gdi
[[ -x $tool && -x $tests ]] || { echo "no $tool or $tests: build first"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
PRAVEL_ATTACK_PAGES=$out/pages "$tests" --gtest_filter='AttackPages.Written*' >/dev/null

failed=0
printf '%-32s %-4s %4s %8s %8s\n' page kind exit seconds peak_mb
for page in "$out"/pages/*.emf; do
  name=$(basename "$page" .emf)
  "$tool" pack "$out/$name.qrp" "$page" >/dev/null 2>&1
  for kind in png pdf svg csv html txt; do
    if [[ $kind == csv || $kind == html || $kind == txt ]]; then
      run=("$tool" export "$out/$name.qrp" --format "$kind" -o "$out/out.$kind" --force)
    else
      run=("$tool" render "$page" -o "$out/out.$kind")
    fi
    /usr/bin/time -v -o "$out/time" timeout 60 "${run[@]}" >/dev/null 2>"$out/err"
    status=$?
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$out/time")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$out/time")
    mb=$((kb / 1024))
    verdict=""
    if ((status > 1)) || ((mb > 256)) || awk -v s="$seconds" 'BEGIN {exit !(s > 5)}'; then
      verdict="  FAILED"
      failed=1
    fi
    printf '%-32s %-4s %4d %8.2f %8d%s\n' "$name" "$kind" "$status" "$seconds" "$mb" "$verdict"
  done
done
exit $failed
