# qrptool render on the corrupt EMF files and the malformed reports of the
# shared corpus: no crash, hang or runaway memory, in the plain build and
# under the sanitizers. PRAVEL_FIDELITY=1 also compares the valid EMF files
# with their reference renderings (scripts/fidelity.sh runs that by hand).
set -euo pipefail
shared="$PRAVEL_TOP/../shared"
if [ ! -d "$shared/tools" ] || [ ! -d "$shared/corpus" ]; then
  echo "no shared corpus beside the clone ($shared): skipped"
  exit 0
fi
py=/usr/bin/python3

# Only the render runs belong to this step; `info --verify` is checked where
# that command is built.
check() {
  local label=$1; shift
  local out
  out=$("$py" "$shared/tools/robustness" "$@" 2>&1) || true
  echo "$out" | tail -1
  if echo "$out" | grep -q '^FAIL render'; then
    echo "$label: render failures:"
    echo "$out" | grep '^FAIL render'
    return 1
  fi
}

check plain --qrptool "$PRAVEL_TOP/build/src/cli/qrptool"
if [ -x "$PRAVEL_TOP/build-asan/src/cli/qrptool" ]; then
  # Leaks are the unit tests' concern; here a sanitizer report is a crash.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1 \
    check sanitizers --qrptool "$PRAVEL_TOP/build-asan/src/cli/qrptool" --timeout 30 --max-mb 2048
fi
if [ "${PRAVEL_FIDELITY:-0}" = 1 ]; then
  "$PRAVEL_TOP/scripts/fidelity.sh"
fi
