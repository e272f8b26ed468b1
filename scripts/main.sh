#!/usr/bin/env bash
# Installs, builds and runs Pravel's main job: qrptool info on a sample
# report that the project generates itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DPRAVEL_TESTS=OFF -DPRAVEL_BENCH=OFF
"$top/build/tools/make_sample_qrp" --pages 3 --compress "$top/build/sample.qrp"
"$top/build/src/cli/qrptool" info --verify "$top/build/sample.qrp"
