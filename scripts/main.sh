#!/usr/bin/env bash
# Installs, builds and runs Pravel's main job.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DPRAVEL_TESTS=OFF -DPRAVEL_BENCH=OFF
"$top/build/src/cli/qrptool" --help
