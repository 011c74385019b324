#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz, runs every target for a set time
# with its corpus seeded from the tests' fixtures, and prints per target the
# executions per second, the coverage (cov: edges, ft: features) and any finding.
#
#   fuzz/run.sh [SECONDS] [TARGET...]    SECONDS per target, default 600
#
# FUZZ_JOBS targets run at once (default 2; they are niced). Corpora grow in
# build-fuzz/corpus/<target>, logs go to build-fuzz/logs, findings (crash-*,
# timeout-*, oom-*, leak-*) to build-fuzz/findings. Exit status 1 when any
# target found something. Keep each fixed finding in fuzz/regressions/<target>:
# the test build replays those and the seeds through every target's rule.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
shift || true
jobs="${FUZZ_JOBS:-2}"
build=build-fuzz

mapfile -t all_targets < <(awk '/^[a-z]/ { print $1 }' fuzz/seeds.txt)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

# The fixtures each corpus starts from (files or folders), from fuzz/seeds.txt.
seeds_of() {
  awk -v t="$1" '$1 == t { $1 = ""; print }' fuzz/seeds.txt
}

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMISSIVO_BUILD_FUZZ=ON -DMISSIVO_BUILD_TESTS=OFF -DMISSIVO_BUILD_BENCH=OFF \
  -DMISSIVO_BUILD_GUI=OFF >/dev/null
build_targets=()
for t in "${targets[@]}"; do build_targets+=("${t}_fuzzer"); done
cmake --build "$build" -j"$(nproc)" --target "${build_targets[@]}"

mkdir -p "$build/logs" "$build/findings"
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  # Named by content, as libFuzzer names its own inputs.
  regressions=$([ -d "fuzz/regressions/$t" ] && echo "fuzz/regressions/$t" || true)
  for file in $(find $(seeds_of "$t") $regressions -type f ! -name '*.md' ! -name '*.svg' ! -name '*.qss'); do
    cp "$file" "$corpus/$(sha1sum <"$file" | cut -c1-40)"
  done
  # Containers are also read as salt and IV followed by a plain list file.
  if [ "$t" = container ]; then
    for lvf in tests/data/broken/*.lvf; do
      { head -c 16 /dev/zero; cat "$lvf"; } >"$corpus/sealed-$(basename "$lvf" .lvf)"
    done
  fi
done

run_one() {
  local t="$1"
  rm -f "$build/findings/$t-"*
  local status=0
  nice -n 10 "$build/fuzz/${t}_fuzzer" "$build/corpus/$t" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t-" >"$build/logs/$t.log" 2>&1 || status=$?
  echo "$status" >"$build/logs/$t.status"
}

running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  echo "Running $t for $seconds s"
  run_one "$t" &
  running=$((running + 1))
done
wait

found=0
printf '\n%-16s %8s %10s %7s %8s %7s  %s\n' target seconds execs/s cov ft corpus finding
for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  finding=none
  artifacts=$(ls "$build/findings/$t-"* 2>/dev/null || true)
  if [ -n "$artifacts" ] || [ "$(cat "$build/logs/$t.status")" != 0 ]; then
    found=1
    summary=$(grep -m1 -E '^(Rule broken|SUMMARY|==[0-9]+==ERROR)' "$log" || true)
    finding="${summary:-exit status $(cat "$build/logs/$t.status")} [$(echo $artifacts)]"
  fi
  printf '%-16s %8s %10s %7s %8s %7s  %s\n' "$t" "$seconds" "${rate:-?}" "${cov:-?}" "${ft:-?}" \
    "${corp:-?}" "$finding"
done
exit "$found"
