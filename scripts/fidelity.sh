#!/usr/bin/env bash
# Compares qrptool's renderings of the shared corpus with the reference
# renderings: scripts/fidelity.sh [fidelity options, e.g. --only test-045.emf --out DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tool="$top/build/src/cli/qrptool"
if [ ! -x "$tool" ]; then
  "$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
exec /usr/bin/python3 "$top/../shared/tools/fidelity" --qrptool "$tool" "$@"
