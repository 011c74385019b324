#!/usr/bin/env bash
# The standard read against `gammu getallsms` on the same simulated USB stick
# (120 messages, 10 of them in two parts), in the same run: phonesim serves
# the stick's scenario, gammu reads it through a configuration of its own
# (connection "at"), then Missivo's benchmark reads it.
#
#   bench/phone/compare_gammu.sh [BUILD]     (default build-rel)
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
"$bench" --write-standard-scenario "$work/stick.json"
"$build/tools/phonesim/phonesim" --scenario "$work/stick.json" --link "$work/modem" \
  --log "$work/gammu-commands.log" > /dev/null &
phonesim_pid=$!
for _ in $(seq 50); do [ -e "$work/modem" ] && break; sleep 0.1; done

printf '[gammu]\ndevice = %s\nconnection = at\n' "$work/modem" > "$work/gammurc"
start=$(date +%s.%N)
# Bounded: gammu 1.42 was seen listing one location of this stick over and over.
timeout 120 gammu -c "$work/gammurc" getallsms 2> "$work/gammu.err" | head -c 20000000 \
  > "$work/gammu.out" || true
end=$(date +%s.%N)
kill "$phonesim_pid"; wait "$phonesim_pid" 2>/dev/null || true; phonesim_pid=""
echo "gammu getallsms: $(echo "($end - $start) * 1000" | bc -l | cut -c1-8) ms," \
  "$(grep '^Location' "$work/gammu.out" | sort -u | wc -l) locations listed," \
  "$(wc -l < "$work/gammu-commands.log") commands"
tail -3 "$work/gammu.err" || true

"$bench" --benchmark_filter='BM_StandardRead120/Unthrottled' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true
