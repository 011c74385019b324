#!/usr/bin/env bash
# The whole run of `missivo-cli list archive --search` on an archive of 65,535
# rows: start, unsealing and loading the archive, the search, the rows found
# written out. Reports each run and the median.
#   cmake --build build-rel --target missivo-cli make_full_archive
#   bench/app/cli_search_time.sh [build-rel] [RUNS] [SEARCH TEXT]
set -euo pipefail
build="${1:-build-rel}"
runs="${2:-7}"
search="${3:-про}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/config"
"$build/bench/app/make_full_archive" "$work/program"
run() {  # -> milliseconds of one whole run
  local begin end
  begin=$(date +%s%N)
  XDG_CONFIG_HOME="$work/config" "$build/src/app/missivo-cli" --folder "$work/program" \
    list archive --search "$search" >"$work/out"
  end=$(date +%s%N)
  echo $(((end - begin) / 1000000))
}
run >/dev/null  # the first run writes the language file
times=()
for _ in $(seq "$runs"); do times+=("$(run)"); done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "runs (ms): ${times[*]}"
echo "median: ${sorted[$((runs / 2))]} ms; rows found: $(wc -l <"$work/out") of 65535"
