# qrptool info --verify on the shared .qrp corpus: every ok-* file is
# accepted, every bad-* and mixed-* file rejected, each within a second.
set -euo pipefail
top=$PRAVEL_TOP
corpus=$top/../shared/corpus/qrp
if [[ ! -d $corpus ]]; then
  echo "skipped: no $corpus beside the repository"
  exit 0
fi
qrptool=$top/build/src/cli/qrptool
[[ -x $qrptool ]] || "$top/scripts/build.sh" build
passed=0
failed=0
for file in "$corpus"/*.qrp; do
  name=${file##*/}
  case $name in
    ok-*) want=0 ;;
    bad-pagecount-negative.qrp) want=any ;;  # rejecting and showing no pages are both sound
    bad-* | mixed-*) want=1 ;;
    *) continue ;;
  esac
  start=$(date +%s%N)
  set +e
  timeout 10 "$qrptool" info --verify "$file" >/dev/null 2>"$top/build/corpus-err.txt"
  status=$?
  set -e
  ms=$((($(date +%s%N) - start) / 1000000))
  verdict=ok
  if [[ $want == any ]]; then
    [[ $status == 0 || $status == 1 ]] || verdict="exit $status"
  elif [[ $status != "$want" ]]; then
    verdict="exit $status, wanted $want"
  fi
  ((ms <= 1000)) || verdict="took $ms ms"
  if [[ $verdict == ok ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $name: $verdict $(cat "$top/build/corpus-err.txt")"
  fi
done
echo "corpus: $passed passed, $failed failed"
((failed == 0))
