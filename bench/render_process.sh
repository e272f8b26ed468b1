#!/usr/bin/env bash
# Time of `qrptool render` as a whole process, per corpus page (PNG, 96 dpi):
#   bench/render_process.sh [build dir] [corpus emf folder]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$top/build}/src/cli/qrptool
corpus=${2:-$top/../shared/corpus/emf/valid}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
printf '%-28s %s\n' file seconds
for f in "$corpus"/*.emf; do
  best=
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$tool" render "$f" -o "$out/page.png" >/dev/null 2>&1 || true
    t=$(echo "$(date +%s.%N) - $start" | bc)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
  done
  printf '%-28s %.3f\n' "$(basename "$f")" "$best"
done
