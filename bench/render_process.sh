#!/usr/bin/env bash
# Time of `qrptool render` as a whole process (PNG at 96 dpi), with hyperfine:
# mean wall time and CPU time (user + system) per page, and their medians.
#   bench/render_process.sh [build dir] [corpus emf folder] [runs per page]
# PAGES="test-001 test-045" limits it to those pages. Wall time counts only on
# an idle machine; CPU time is what the process itself costs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$top/build}/src/cli/qrptool
corpus=${2:-$top/../shared/corpus/emf/valid}
runs=${3:-10}
[[ -x $tool ]] || { echo "no $tool: build first"; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

files=()
if [[ -n ${PAGES:-} ]]; then
  for p in $PAGES; do files+=("$corpus/$p.emf"); done
else
  files=("$corpus"/*.emf)
fi

printf '%-26s %9s %9s\n' file wall_ms cpu_ms
for f in "${files[@]}"; do
  hyperfine -N -w 2 -r "$runs" -i --export-json "$out/run.json" \
    "$tool render $f -o $out/page.png" >/dev/null 2>&1 || continue
  /usr/bin/python3 - "$out/run.json" "$(basename "$f")" >>"$out/table" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(f"{sys.argv[2]:<26} {r['mean'] * 1000:9.1f} {(r['user'] + r['system']) * 1000:9.1f}")
EOF
  tail -n 1 "$out/table"
done
/usr/bin/python3 - "$out/table" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
print(f"median over {len(rows)} pages: wall {statistics.median(float(r[1]) for r in rows):.1f} ms, "
      f"cpu {statistics.median(float(r[2]) for r in rows):.1f} ms")
EOF
