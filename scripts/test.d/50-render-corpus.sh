# The shared corpus through qrptool: render of every corrupt EMF and every
# .qrp, info --verify of every .qrp, with no crash, hang or runaway memory,
# in the plain build and under the sanitizers. PRAVEL_FIDELITY=1 also
# compares the valid EMF files with their reference renderings
# (scripts/fidelity.sh runs that by hand).
set -euo pipefail
shared="$PRAVEL_TOP/../shared"
if [ ! -d "$shared/tools" ] || [ ! -d "$shared/corpus" ]; then
  echo "no shared corpus beside the clone ($shared): skipped"
  exit 0
fi
py=/usr/bin/python3
[ -x "$PRAVEL_TOP/build/src/cli/qrptool" ] || "$PRAVEL_TOP/scripts/build.sh" build

echo "plain build:"
"$py" "$shared/tools/robustness" --qrptool "$PRAVEL_TOP/build/src/cli/qrptool"
if [ -x "$PRAVEL_TOP/build-asan/src/cli/qrptool" ]; then
  # Leaks are the unit tests' concern; here any sanitizer report ends the run
  # as a crash. Debug code under the sanitizers is slower and bigger.
  echo "sanitizer build:"
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1 \
    "$py" "$shared/tools/robustness" --qrptool "$PRAVEL_TOP/build-asan/src/cli/qrptool" --timeout 30 --max-mb 2048
fi
if [ "${PRAVEL_FIDELITY:-0}" = 1 ]; then
  "$PRAVEL_TOP/scripts/fidelity.sh"
fi
