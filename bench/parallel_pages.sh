#!/usr/bin/env bash
# qrptool on a 5000-page report with one job and with every core: render to
# PDF and to PNG, info --verify on the compressed report, text --json.
# Prints wall and CPU seconds (hyperfine means) and the speed-up.
#   bench/parallel_pages.sh [build dir] [runs]
# The speed-up counts only on an otherwise idle machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${2:-3}
tool=$build/src/cli/qrptool
[[ -x $tool ]] || { echo "no $tool: build first"; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/tools/make_sample_qrp" --pages 5000 "$work/plain.qrp" >/dev/null
"$build/tools/make_sample_qrp" --pages 5000 --compress "$work/packed.qrp" >/dev/null
mkdir -p "$work/png"
cores=$(nproc)

measure() {  # name, command with JOBS in it
  local name=$1 command=$2 one all
  for jobs in 1 "$cores"; do
    hyperfine -N -w 1 -r "$runs" --export-json "$work/$jobs.json" "${command//JOBS/$jobs}" >/dev/null 2>&1
  done
  /usr/bin/python3 - "$name" "$work/1.json" "$work/$cores.json" "$cores" <<'PY'
import json, sys
name, one, many, cores = sys.argv[1], *(json.load(open(p))["results"][0] for p in sys.argv[2:4]), sys.argv[4]
print(f"{name:<26} 1 job: {one['mean']:6.2f} s wall {one['user'] + one['system']:6.2f} s cpu   "
      f"{cores} jobs: {many['mean']:6.2f} s wall {many['user'] + many['system']:6.2f} s cpu   "
      f"speed-up {one['mean'] / many['mean']:.2f}x")
PY
}

measure "render 5000 pages to PDF" "$tool render $work/plain.qrp -o $work/out.pdf --quiet --jobs JOBS"
measure "render 5000 pages to PNG" "$tool render $work/plain.qrp -o $work/png/p.png --quiet --jobs JOBS"
measure "info --verify (compressed)" "$tool info $work/packed.qrp --verify --quiet --jobs JOBS"
measure "text --json" "$tool text $work/plain.qrp --json --quiet --jobs JOBS"
"$tool" text "$work/plain.qrp" --json --quiet | /usr/bin/python3 -c '
import json, sys
n = sum(1 for line in sys.stdin if json.loads(line))
print(f"text --json: {n} lines, each a JSON object")'
