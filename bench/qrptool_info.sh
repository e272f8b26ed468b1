#!/usr/bin/env bash
# Times qrptool info on 5000-page reports packed from the corpus pages, and
# reports wall time and peak memory (from /usr/bin/time).
#   bench/qrptool_info.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/${1:-build}
qrptool=$build/src/cli/qrptool
pages_dir=$top/../shared/corpus/emf/valid
[[ -x $qrptool ]] || { echo "no $qrptool: build first"; exit 1; }
[[ -d $pages_dir ]] || { echo "no corpus at $pages_dir"; exit 1; }

names=(EA-test-file-001 EA-test-file-010 EA-test-file-032 test-006 test-015 test-025 test-036
       test-045 test-054 test-063 test-075 test-084 test-094 test-103 test-117 test-127
       test-138 test-147 test-159 test-171)
pages=()
for ((i = 0; i < 5000; i++)); do pages+=("$pages_dir/${names[i % 20]}.emf"); done

work=$build/bench-qrp
mkdir -p "$work"
[[ -f $work/plain-5000.qrp ]] || "$qrptool" pack "$work/plain-5000.qrp" "${pages[@]}"
[[ -f $work/compressed-5000.qrp ]] || "$qrptool" pack --compress "$work/compressed-5000.qrp" "${pages[@]}"

measure() {  # best of three runs: seconds and peak KB
  local best=""
  for _ in 1 2 3; do
    local line
    line=$( { /usr/bin/time -f "%e %M" "$qrptool" "$@" >/dev/null; } 2>&1 | tail -n 1)
    if [[ -z $best ]] || awk -v a="${line% *}" -v b="${best% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  printf '%-45s %6s s  %7s KB peak\n' "qrptool $*" "${best% *}" "${best#* }"
}

for kind in plain compressed; do
  file=$work/$kind-5000.qrp
  echo "$kind: $(du -m "$file" | cut -f1) MB"
  measure info "$file"
  measure info --json "$file"
  measure info --verify "$file"
done
