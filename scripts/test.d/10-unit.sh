# Unit and component tests, plain build.
set -euo pipefail
"$PRAVEL_TOP/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$PRAVEL_TOP/build" --output-on-failure -j "$(nproc)"
