#!/usr/bin/env bash
# Installs, builds and runs Pravel's main job:
#   scripts/main.sh             the viewer on a sample report the project generates
#   scripts/main.sh FILE.qrp    the viewer on FILE.qrp
#   scripts/main.sh --no-file   the viewer without a report: its start page
# On a desktop (DISPLAY or WAYLAND_DISPLAY set) the job is `pravel`; on a
# machine without a display it is `qrptool info --verify` on the report.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DPRAVEL_TESTS=OFF -DPRAVEL_BENCH=OFF
"$top/build/tools/make_sample_qrp" --pages 3 --compress "$top/build/sample.qrp"
report=${1:-$top/build/sample.qrp}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if [ "$report" = --no-file ]; then
    exec "$top/build/src/viewer/pravel"
  fi
  exec "$top/build/src/viewer/pravel" "$report"
fi
echo "no display: showing the report with qrptool"
if [ "$report" = --no-file ]; then report=$top/build/sample.qrp; fi
"$top/build/src/cli/qrptool" info --verify "$report"
