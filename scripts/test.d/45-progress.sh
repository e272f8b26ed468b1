# The progress line of long qrptool commands: shown on a terminal (a
# pseudo-terminal made by script), not with --quiet and not on a pipe.
set -euo pipefail
top=$PRAVEL_TOP
build=$top/build
qrptool=$build/src/cli/qrptool
[[ -x $qrptool ]] || "$top/scripts/build.sh" build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/make_sample_qrp" --pages 300 --compress "$work/r.qrp" >/dev/null

on_terminal() { script -qec "$*" /dev/null; }
on_terminal "$qrptool" info "$work/r.qrp" --verify --jobs 2 >"$work/tty.txt"
grep -q $'\rpage 300 of 300' "$work/tty.txt" || { echo "FAIL: no progress line on a terminal"; exit 1; }
on_terminal "$qrptool" info "$work/r.qrp" --verify --quiet >"$work/quiet.txt"
! grep -q 'page [0-9]* of 300' "$work/quiet.txt" || { echo "FAIL: progress line despite --quiet"; exit 1; }
"$qrptool" render "$work/r.qrp" --pages 1-20 -o "$work/r.pdf" 2>&1 | cat >"$work/pipe.txt"
! grep -q 'page [0-9]* of' "$work/pipe.txt" || { echo "FAIL: progress line on a pipe"; exit 1; }
on_terminal "$qrptool" render "$work/r.qrp" --pages 1-20 -o "$work/r.pdf" >"$work/render.txt"
grep -q 'page 20 of 20' "$work/render.txt" || { echo "FAIL: no progress line while rendering"; exit 1; }
echo "progress line: shown on a terminal, left out with --quiet and on a pipe"
