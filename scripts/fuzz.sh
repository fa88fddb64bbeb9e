#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers with clang (AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60),
# starting from the seed files in fuzz/corpus, JOBS targets at a time
# (default 1). Prints one line per target with its executions and findings;
# exits non-zero on any crash, leak, timeout, sanitizer report or broken
# contract.
#   bash scripts/fuzz.sh [SECONDS] [JOBS]
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
secondes="${1:-60}"
paralleles="${2:-1}"
case "$secondes$paralleles" in
  ''|*[!0-9]*) echo "usage: $0 [SECONDS > 0] [JOBS > 0]" >&2; exit 2 ;;
esac
if [ "$secondes" -eq 0 ] || [ "$paralleles" -eq 0 ]; then
  echo "usage: $0 [SECONDS > 0] [JOBS > 0]" >&2; exit 2
fi

MERLE_PAQUETS_TEST="clang libclang-rt-dev"
. "$racine/scripts/paquets.sh"

construction="$racine/build-fuzz"
cmake -S "$racine" -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DMERLE_FUZZ=ON >/dev/null
cmake --build "$construction" --target fuzz

journaux="$construction/fuzz-journaux"
trouvailles="$construction/fuzz-trouvailles"
mkdir -p "$journaux" "$trouvailles"
rm -f "$journaux"/*.code
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$racine/fuzz/lsan.supp"

cibles="lecture sauvegarde meilleur_score"

# Runs one target; its exit code goes to a file beside its log.
fuzzer() {
  local cible="$1" code=0
  # New inputs go to a corpus in the build folder; the seeds stay untouched.
  local corpus="$construction/fuzz-corpus/$cible"
  mkdir -p "$corpus"
  "$construction/fuzz/fuzz_$cible" -max_total_time="$secondes" -rss_limit_mb=2048 -timeout=10 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$trouvailles/$cible-" \
    "$corpus" "$racine/fuzz/corpus/$cible" >"$journaux/$cible.log" 2>&1 || code=$?
  echo "$code" >"$journaux/$cible.code"
}

actifs=0
for cible in $cibles; do
  fuzzer "$cible" &
  actifs=$((actifs + 1))
  if [ "$actifs" -ge "$paralleles" ]; then
    wait -n || true
    actifs=$((actifs - 1))
  fi
done
wait

echec=0
total=0
for cible in $cibles; do
  journal="$journaux/$cible.log"
  code="$(cat "$journaux/$cible.code" 2>/dev/null || echo 1)"
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$journal" | tail -n 1)"
  executions="${executions:-0}"
  # libFuzzer stops at its first finding: a non-zero exit or any report in the log.
  rapports=0
  if [ "$code" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|CONTRACT BROKEN|ALARM: working on the last Unit' "$journal"; then
    rapports=1
  fi
  printf 'fuzz_%-15s %12s executions in %s s, %s finding(s)\n' "$cible" "$executions" "$secondes" "$rapports"
  total=$((total + executions))
  if [ "$rapports" -ne 0 ]; then
    echec=1
    echo "--- fuzz_$cible (exit $code), log $journal, inputs in $trouvailles:"
    grep -E -A 30 'ERROR:|runtime error:|CONTRACT BROKEN|ALARM' "$journal" | head -n 60 || tail -n 40 "$journal"
  fi
done
echo "fuzzing: $total executions in total"
exit "$echec"
