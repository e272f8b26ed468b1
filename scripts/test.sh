#!/usr/bin/env bash
# Installs, builds and runs every test: each step of scripts/test.d in order.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export PRAVEL_TOP=$top
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$top/scripts/install-deps.sh"
for step in "$top"/scripts/test.d/*.sh; do
  echo "=== $(basename "$step")"
  start=$SECONDS
  bash "$step"
  echo "=== $(basename "$step") passed in $((SECONDS - start)) s"
done
echo "=== all tests passed"
