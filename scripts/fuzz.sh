#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang with ASan and UBSan) and
# runs each in turn for SECONDS seconds (default 60), one at a time, from its
# seed corpus (samples, test files, fuzz/seeds) with its dictionary. The
# corpus grows in build/fuzz/corpus/<target>; a crash stops the script with
# the reproducer in build/fuzz/crashes/ (turn it into a test in
# tests/fuzz_regressions/ before fixing it).
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(parametres donnees calcul valeurs ardilo pivot dossier)

bash scripts/setup.sh clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

build=build/fuzz
mkdir -p "$build/crashes"
# The seeds of a target: files of the samples and tests, and its own.
seeds() {
  case $1 in
    parametres) ls samples/*/rubriques.xml tests/data/engine/*rubriques*.xml ;;
    donnees) ls samples/*/donnees.xml tests/data/engine/*donnees*.xml ;;
    ardilo | pivot) ls fuzz/seeds/pivot/* ;;
    dossier) ls samples/*/dossier.xml ;;
    valeurs) ls fuzz/seeds/valeurs/* ;;
  esac
  if [ -d "tests/fuzz_regressions/$1" ]; then ls "tests/fuzz_regressions/$1"/*; fi
}
dictionary() {
  case $1 in
    parametres) echo fuzz/dict/rubriques.dict ;;
    donnees) echo fuzz/dict/donnees.dict ;;
    calcul) echo fuzz/dict/rubriques.dict ;;
    ardilo | pivot) echo fuzz/dict/pivot.dict ;;
    *) echo "fuzz/dict/$1.dict" ;;
  esac
}

for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  if [ "$target" = calcul ]; then
    # The parameter file, a line "----", then the data file.
    for sample in samples/*/; do
      { cat "$sample/rubriques.xml"; printf '\n----\n'; cat "$sample/donnees.xml"; } \
        >"$corpus/seed-$(basename "$sample")"
    done
  else
    while read -r seed; do cp "$seed" "$corpus/seed-$(basename "$(dirname "$seed")")-$(basename "$seed")"; done < <(seeds "$target")
  fi
  echo "== fuzz_$target: ${seconds}s"
  # Inputs up to 64 KiB, a second per input at most, 2 GB of memory.
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    nice "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$(dictionary "$target")" -artifact_prefix="$build/crashes/$target-" "$corpus" \
    2>&1 | grep -E '^(#[0-9]+[[:space:]]+DONE|stat::|==[0-9]+==|SUMMARY|INFO: Seed)|ERROR' || true
  if ls "$build/crashes/$target-"* >/dev/null 2>&1; then
    echo "fuzz_$target found a failure: $(ls "$build/crashes/$target-"*)" >&2
    exit 1
  fi
done
