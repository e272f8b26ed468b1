# Builds every fuzz target with clang and runs each for a bounded time.
# A target names seed folders beside the repository's shared material with a
# line "// fuzz-seeds: corpus/qrp" in its source. The player's targets are
# seeded with the attack pages too, written by the unit tests' generators.
# A bomb fails the run: each input must end within 5 s and 256 MB.
set -euo pipefail
top=$PRAVEL_TOP
build=$top/build-fuzz
seconds=${PRAVEL_FUZZ_SECONDS:-120}
# PRAVEL_FUZZ_RUNS=N ends each target after N inputs too (a long run by hand:
# PRAVEL_FUZZ_RUNS=10000000 PRAVEL_FUZZ_SECONDS=86400).
runs=()
[[ -n ${PRAVEL_FUZZ_RUNS:-} ]] && runs=(-runs="$PRAVEL_FUZZ_RUNS")
# The memory limit counts what inputs hold, not ASan's quarantine of freed
# blocks (256 MB by default).
export ASAN_OPTIONS="quarantine_size_mb=32:${ASAN_OPTIONS:-}"
"$top/scripts/build.sh" build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRAVEL_FUZZ=ON -DPRAVEL_GUI=OFF -DPRAVEL_TESTS=OFF -DPRAVEL_BENCH=OFF

shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if ((${#targets[@]} == 0)); then
  echo "no fuzz targets"
  exit 0
fi
artifacts=$build/artifacts
mkdir -p "$artifacts"
attack_pages=$build/attack-pages
rm -rf "$attack_pages"
for tests in "$top"/build/tests/test_gdi "$top"/build-release/tests/test_gdi; do
  if [[ -x $tests ]]; then
    PRAVEL_ATTACK_PAGES=$attack_pages "$tests" --gtest_filter='AttackPages.Written*' >/dev/null
    break
  fi
done
failed=0
for target in "${targets[@]}"; do
  [[ -x $target ]] || continue
  name=${target##*/fuzz_}
  seeds=()
  if [[ -f $top/fuzz/$name.cpp ]]; then
    while read -r folder; do
      [[ -d $top/../shared/$folder ]] && seeds+=("$top/../shared/$folder")
    done < <(sed -n 's|^// fuzz-seeds: *||p' "$top/fuzz/$name.cpp")
  fi
  [[ -d $top/fuzz/seeds/$name ]] && seeds+=("$top/fuzz/seeds/$name")
  [[ ($name == player || $name == text_export) && -d $attack_pages ]] && seeds+=("$attack_pages")
  work=$(mktemp -d)
  log=$build/fuzz_$name.log
  echo "fuzz_$name: ${seconds} s, seeds: ${seeds[*]:-none}"
  if nice -n 19 "$target" -max_total_time="$seconds" "${runs[@]}" -max_len=65536 -timeout=5 \
      -rss_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
      "$work" "${seeds[@]}" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  else
    echo "fuzz_$name FAILED; log $log, inputs in $artifacts"
    tail -n 40 "$log"
    failed=1
  fi
  rm -rf "$work"
done
exit $failed
