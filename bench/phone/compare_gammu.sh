#!/usr/bin/env bash
# The standard read against `gammu getallsms` on the same simulated USB stick
# (120 messages, 10 of them in two parts: 130 locations), in the same run:
# phonesim serves the stick's scenario, gammu reads it through a configuration
# of its own (connection "at"), then Missivo's benchmark reads it, unthrottled
# and on an emulated 115200 baud line. Prints both times, their ratio, and the
# locations gammu listed, checked against the stick's part locations.
#
#   bench/phone/compare_gammu.sh [BUILD]     (default build-rel)
#
# Ends non-zero when gammu did not list exactly the stick's locations.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build-rel}"
bench="$build/bench/phone/phone_exchange_bench"

if ! command -v gammu >/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y gammu
fi

work="$(mktemp -d)"
phonesim_pid=""
trap '[ -n "$phonesim_pid" ] && kill "$phonesim_pid" 2>/dev/null; rm -rf "$work"' EXIT

# "SM 1-60; ME 1-70 (130)" from sorted "storage index" lines.
ranges() {
  sort -k1,1r -k2,2n | awk '
    function flush() { if (store != "") out = out first (last > first ? "-" last : "") }
    $1 != store { flush(); out = out (store == "" ? "" : "; ") $1 " "; store = $1; first = $2 }
    $1 == store && $2 != first && $2 != last + 1 { flush(); out = out ","; first = $2 }
    { last = $2; n++ }
    END { flush(); print out " (" n ")" }'
}

"$bench" --write-standard-scenario "$work/stick.json" | sort > "$work/expected"
"$build/tools/phonesim/phonesim" --scenario "$work/stick.json" --link "$work/modem" \
  --log "$work/gammu-commands.log" > /dev/null &
phonesim_pid=$!
for _ in $(seq 50); do [ -e "$work/modem" ] && break; sleep 0.1; done

printf '[gammu]\ndevice = %s\nconnection = at\n' "$work/modem" > "$work/gammurc"
start=$(date +%s%N)
# Bounded in time and output, should gammu ever list one location over and over.
gammu_status=0
timeout 120 gammu -c "$work/gammurc" getallsms 2> "$work/gammu.err" | head -c 20000000 \
  > "$work/gammu.out" || gammu_status=$?
end=$(date +%s%N)
kill "$phonesim_pid"; wait "$phonesim_pid" 2>/dev/null || true; phonesim_pid=""
gammu_us=$(( (end - start) / 1000 ))

# gammu numbers a device's location n in SIM memory n + 1 and in phone memory
# 100000 + n + 1 (its debug log: "ATGEN folder 1 & location 1 -> SMS folder 0
# & location 2").
sed -n 's/^Location \([0-9]*\), .*, \(SIM\|phone\) memory.*/\2 \1/p' "$work/gammu.out" |
  awk '$1 == "SIM" { print "SM", $2 - 1 } $1 == "phone" { print "ME", $2 - 100001 }' |
  sort -u > "$work/listed"

"$bench" --benchmark_filter='BM_StandardRead120' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_out="$work/bench.json" \
  --benchmark_out_format=json > "$work/bench.txt" 2>&1
# The median's ms_per_read of each variant.
median() {
  awk -v name="$1" '
    index($0, "\"run_name\": \"" name "\"") { inside = 1 }
    inside && /"aggregate_name": "median"/ { found = 1 }
    found && /"ms_per_read"/ { gsub(/[^0-9.e+-]/, "", $2); print $2; exit }' \
    "$work/bench.json"
}
missivo_ms=$(median 'BM_StandardRead120/Unthrottled/real_time')

echo "gammu getallsms:   $(awk -v us="$gammu_us" 'BEGIN { printf "%.1f", us / 1000 }') ms" \
  "(exit $gammu_status, $(wc -l < "$work/gammu-commands.log") commands," \
  "$(grep -c '^Location' "$work/gammu.out" || true) entries printed)"
# Most of gammu's time is its own start-up (fixed pauses between its first
# commands); its part from the first message command on, for reference.
cpms_at=$(sed -n 's/\t\(AT+CPMS=?\)$//p' "$work/gammu-commands.log" | head -n 1)
if [ -n "$cpms_at" ]; then
  echo "  of which from its AT+CPMS=? on: $(( (end - $(date -d "$cpms_at" +%s%N)) / 1000 / 1000 )) ms"
fi
awk -v m="$missivo_ms" 'BEGIN { printf "Missivo read:      %.2f ms (median of 3, unthrottled)\n", m }'
awk -v m="$missivo_ms" -v us="$gammu_us" \
  'BEGIN { printf "Missivo / gammu:   %.2f %% (at most 5 %%)\n", m * 1000 / us * 100 }'
echo "gammu listed:      $(ranges < "$work/listed")"
echo "stick holds:       $(ranges < "$work/expected")"
tail -n 3 "$work/gammu.err"
echo
grep -E '^(Benchmark|BM_)|^-' "$work/bench.txt" | grep -v '_stddev\|_cv\|^-'
if ! cmp -s "$work/listed" "$work/expected"; then
  echo "gammu did not list exactly the stick's part locations" >&2
  exit 1
fi
