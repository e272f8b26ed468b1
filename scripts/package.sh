#!/usr/bin/env bash
# Builds the Debian package pravel_<version>_amd64.deb with CPack in a
# Release tree of its own: scripts/package.sh [DIR] (default build-package);
# scripts/package.sh --existing DIR packages a configured tree as it is
# (the test run packages its unit-test build). Prints the package's path.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
existing=0
if [[ ${1:-} == --existing ]]; then existing=1; shift; fi
dir=${1:-build-package}
umask 022
command -v rsvg-convert >/dev/null || { echo "package.sh: rsvg-convert is missing (librsvg2-bin)" >&2; exit 1; }
if ((existing)); then
  cmake --build "$top/$dir" -j "$(nproc)" >&2
else
  "$top/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DPRAVEL_TESTS=OFF -DPRAVEL_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >&2
fi
rm -f "$top/$dir"/pravel_*.deb
(cd "$top/$dir" && cpack -G DEB >&2)
ls "$top/$dir"/pravel_*_amd64.deb
