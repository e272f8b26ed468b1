#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the project's own sources:
#   scripts/tidy.sh [FILE.cpp...]   default: every .cpp under src/ and tests/
# Needs a configured build/ (compile_commands.json); run scripts/build.sh build first.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
[ -f build/compile_commands.json ] || { echo "tidy: configure build/ first (scripts/build.sh build)" >&2; exit 2; }
if (($#)); then files=("$@"); else mapfile -t files < <(git ls-files 'src/*.cpp' 'tests/*.cpp'); fi
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p build --quiet 2>/dev/null
