# The shared corpus through qrptool: render of every corrupt EMF and every
# .qrp, info --verify of every .qrp, with no crash, hang or runaway memory,
# in the plain build and under the sanitizers; then the renderings of the
# valid EMF files and of the report pages against their reference renderings
# (about a minute on two cores; PRAVEL_FIDELITY=0 leaves that out,
# scripts/fidelity.sh runs it by hand).
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
if [ "${PRAVEL_FIDELITY:-1}" = 1 ] && [ -f "$shared/corpus/ref/index.tsv" ]; then
  # The drawing corpus, then the report pages; a counted page that fails
  # fails the step once both have run.
  status=0
  echo "fidelity, drawing corpus:"
  "$PRAVEL_TOP/scripts/fidelity.sh" --out "$PRAVEL_TOP/build/fidelity" || status=1
  if [ -f "$shared/corpus/report/ref/index.tsv" ]; then
    echo "fidelity, report pages:"
    "$PRAVEL_TOP/scripts/fidelity.sh" --corpus "$shared/corpus/report" --out "$PRAVEL_TOP/build/fidelity-report" || status=1
  fi
  exit "$status"
fi
