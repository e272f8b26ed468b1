#!/usr/bin/env bash
# Time from process start to the first page painted, for a 5000-page report:
#   bench/viewer_start.sh [build dir] [runs]
# The report repeats the pages of the corpus's ok-plain-20p.qrp when the
# corpus is beside the source tree, else generated sample pages. Prints the
# program's own figure (main() to first paint) and the whole process's wall
# time up to the end of the program, medians over the runs, with the page
# text smoothed and drawn as on a bitmap. Offscreen unless
# QT_QPA_PLATFORM says otherwise.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/pages" && chmod 700 "$work/home"

corpus=$top/../shared/corpus/qrp/ok-plain-20p.qrp
if [ -f "$corpus" ]; then
  "$build/src/cli/qrptool" extract "$corpus" "$work/pages" >/dev/null
  mapfile -t pages < <(ls "$work/pages"/*.emf)
  list=()
  for ((i = 0; i < 5000; i++)); do list+=("${pages[i % ${#pages[@]}]}"); done
  "$build/src/cli/qrptool" pack "$work/big.qrp" "${list[@]}" >/dev/null
else
  "$build/tools/make_sample_qrp" --pages 5000 "$work/big.qrp"
fi
echo "report: $(stat -c %s "$work/big.qrp") bytes, $("$build/src/cli/qrptool" info --json "$work/big.qrp" | head -c 20)..."

export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_RUNTIME_DIR=$work/home QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} PRAVEL_FIRST_PAINT=1
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
# Text smoothed (the default), then drawn as on a bitmap.
for smoothing in 1 0; do
  inner=() outer=()
  for ((r = 0; r < runs; r++)); do
    mkdir -p "$XDG_CONFIG_HOME/Brask"
    printf '[View]\nSmoothing=%s\n' "$smoothing" >"$XDG_CONFIG_HOME/Brask/Pravel.conf"
    start=$(date +%s%N)
    line=$("$build/src/viewer/pravel" "$work/big.qrp" 2>&1 | grep 'first page painted')
    end=$(date +%s%N)
    inner+=("$(echo "$line" | grep -o '[0-9]* ms' | cut -d' ' -f1)")
    outer+=("$(((end - start) / 1000000))")
  done
  echo "smoothing $smoothing: first page painted after (main to paint): median $(median "${inner[@]}") ms; runs: ${inner[*]}"
  echo "smoothing $smoothing: whole process (start to exit):            median $(median "${outer[@]}") ms; runs: ${outer[*]}"
done
