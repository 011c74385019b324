#!/usr/bin/env bash
# Installs the package that scripts/package.sh made, runs its programs from
# /usr/bin (missivo-cli on an empty program folder, the window program under
# Xvfb until its window appears) and removes it again. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
deb=(dist/missivo_*.deb)
[ ${#deb[@]} -eq 1 ] && [ -f "${deb[0]}" ] || { echo "check-package.sh: run scripts/package.sh first" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
window_pid=""
cleanup() {
  [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q missivo >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "./${deb[0]}"

# The programs' own files go to a home of their own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$work/empty"
/usr/bin/missivo-cli --version
/usr/bin/missivo --version
listing="$(/usr/bin/missivo-cli --folder "$work/empty" list archive)"
[ -z "$listing" ] || { echo "an empty folder listed rows: $listing" >&2; exit 1; }
dpkg -L missivo | grep -q "^/usr/share/man/man1/missivo-cli.1.gz$"

# The window program on a display of its own, until its main window shows.
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x900x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$number" /usr/bin/missivo >"$work/window.log" 2>&1 &
window_pid=$!
deadline=$((SECONDS + 60))
until DISPLAY=":$number" xdotool search --onlyvisible --name '^Missivo 3\.3$' >/dev/null 2>&1; do
  if ! kill -0 "$window_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
    echo "the installed window program showed no window:" >&2
    cat "$work/window.log" >&2
    exit 1
  fi
  sleep 0.2
done
echo "the installed window program showed its window"
# An installed copy keeps its program folder in the user's data folder.
[ -d "$XDG_DATA_HOME/Missivo/Language" ] || { echo "no program folder under $XDG_DATA_HOME" >&2; exit 1; }
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
window_pid=""

$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q missivo
[ ! -e /usr/bin/missivo ] || { echo "the package left /usr/bin/missivo" >&2; exit 1; }
echo "package installed, run and removed"
