#!/usr/bin/env bash
# qrptool on large reports with 1 job and with 2 (or JOBS): render to PNG and
# PDF of 5000 pages (20 corpus pages x 250, as bench/qrptool_info.sh packs
# them; a page of 3516 x 4550 pixels among every 20), PNG of the first 1000
# of them, info --verify of the 5000 compressed; then the CPU time of a
# one-page render of each corpus page as a whole process (median) and of
# `info` on a one-page report.
#   bench/render_scale.sh [build dir] [runs]   (WARMUP=0 to skip the warm-up run)
# Wall times and speed-ups count only on an otherwise idle machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${2:-3}
warmup=${WARMUP:-1}
jobs=${JOBS:-2}
tool=$build/src/cli/qrptool
corpus=${CORPUS:-$top/../shared/corpus/emf/valid}
[[ -x $tool ]] || { echo "no $tool: build first"; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=(EA-test-file-001 EA-test-file-010 EA-test-file-032 test-006 test-015 test-025 test-036
       test-045 test-054 test-063 test-075 test-084 test-094 test-103 test-117 test-127
       test-138 test-147 test-159 test-171)
pages=()
for ((i = 0; i < 5000; i++)); do pages+=("$corpus/${names[i % 20]}.emf"); done
"$tool" pack "$work/5000.qrp" "${pages[@]}" >/dev/null
"$tool" pack --compress "$work/packed.qrp" "${pages[@]}" >/dev/null
"$tool" pack "$work/1000.qrp" "${pages[@]:0:1000}" >/dev/null
"$tool" pack "$work/one.qrp" "${pages[0]}" >/dev/null
mkdir -p "$work/out"

measure() {  # name, command with JOBS in it
  local name=$1 command=$2
  for n in 1 "$jobs"; do
    hyperfine -N -w "$warmup" -r "$runs" --export-json "$work/$n.json" "${command//JOBS/$n}" >/dev/null 2>&1
  done
  /usr/bin/python3 - "$name" "$work/1.json" "$work/$jobs.json" "$jobs" <<'PY'
import json, sys
name, one, many, jobs = sys.argv[1], *(json.load(open(p))["results"][0] for p in sys.argv[2:4]), sys.argv[4]
print(f"{name:<28} 1 job: {one['mean']:6.2f} s wall {one['user'] + one['system']:6.2f} s cpu   "
      f"{jobs} jobs: {many['mean']:6.2f} s wall {many['user'] + many['system']:6.2f} s cpu   "
      f"speed-up {one['mean'] / many['mean']:.2f}x")
PY
}

measure "PNG 5000 pages" "$tool render $work/5000.qrp -o $work/out/p.png --quiet --jobs JOBS"
measure "PDF 5000 pages" "$tool render $work/5000.qrp -o $work/out/p.pdf --quiet --jobs JOBS"
measure "PNG 1000 pages" "$tool render $work/1000.qrp -o $work/out/c.png --quiet --jobs JOBS"
measure "info --verify 5000 compressed" "$tool info $work/packed.qrp --verify --quiet --jobs JOBS"

# CPU milliseconds (user + system) of whole processes, from wait4: the
# median of 5 runs per file, then the median over the files.
cpu_ms() {  # label, command with FILE in it, files...
  /usr/bin/python3 - "$@" <<'PY'
import os, statistics, subprocess, sys
label, command, files = sys.argv[1], sys.argv[2], sys.argv[3:]
def cpu(args):
    child = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    return (usage.ru_utime + usage.ru_stime) * 1000
per_file = [statistics.median(cpu(command.replace("FILE", f).split()) for _ in range(5)) for f in files]
print(f"{label:<28} median {statistics.median(per_file):5.1f} ms cpu over {len(files)} file(s), "
      f"max {max(per_file):.1f}")
PY
}
cpu_ms "one-page render to PNG" "$tool render FILE -o $work/out/one.png" "$corpus"/*.emf
cpu_ms "info on a one-page report" "$tool info FILE" "$work/one.qrp"
