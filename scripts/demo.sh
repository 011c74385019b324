#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated phone with the sample
# messages and opens Missivo on it. The demo keeps its program folder and its
# settings in build/demo, away from your own.
#
#   scripts/demo.sh            the phone family's demo phone
#   scripts/demo.sh usb-modem  a USB modem of the 3GPP standard (PDU mode, two
#                              storages, a long message, a status report)
# MISSIVO_DEMO_SCENARIO=FILE takes any phonesim scenario instead.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-phone}" in
  phone) scenario=resources/demo/scenario.json ;;
  usb-modem) scenario=resources/demo/usb-modem.json ;;
  *) echo "usage: scripts/demo.sh [phone|usb-modem]" >&2; exit 64 ;;
esac
scenario="${MISSIVO_DEMO_SCENARIO:-$scenario}"

scripts/install-deps.sh
build=build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMISSIVO_BUILD_TESTS=OFF -DMISSIVO_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target missivo phonesim

demo="$PWD/$build/demo"
mkdir -p "$demo/config/Missivo"
cp "$build/src/app/missivo" "$demo/missivo"

# The demo's settings: the port is the simulated phone's link, connected at
# start. Other settings you change in the demo stay.
settings="$demo/config/Missivo/Missivo.conf"
touch "$settings"
grep -q '^\[Missivo\]' "$settings" || printf '[Missivo]\n' >> "$settings"
sed -i -e '/^COMPORTUser=/d' -e '/^Check4=/d' "$settings"
sed -i "/^\[Missivo\]/a COMPORTUser=$demo/phone\nCheck4=true" "$settings"

"$build/tools/phonesim/phonesim" --scenario "$scenario" \
  --link "$demo/phone" --log "$demo/phonesim.log" &
phonesim_pid=$!
trap 'kill $phonesim_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$demo/phone" ] && break; sleep 0.1; done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No desktop: a virtual screen. Look at it with
  #   DISPLAY=:99 import -window root shot.png
  echo "No display found: Missivo runs on the virtual screen :99."
  Xvfb :99 -screen 0 1280x900x24 -nolisten tcp &
  xvfb_pid=$!
  trap 'kill $phonesim_pid $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=:99
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X99 ] && break; sleep 0.1; done
fi
XDG_CONFIG_HOME="$demo/config" "$demo/missivo"
