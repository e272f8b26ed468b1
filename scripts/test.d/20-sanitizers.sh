# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
"$PRAVEL_TOP/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DPRAVEL_SANITIZE=ON -DPRAVEL_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$PRAVEL_TOP/build-asan" --output-on-failure -j "$(nproc)"
