# Unit and component tests, built as scripts/main.sh and the package build:
# Release, whose optimiser warns where the others do not.
set -euo pipefail
"$PRAVEL_TOP/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$PRAVEL_TOP/build" --output-on-failure -j "$(nproc)"
