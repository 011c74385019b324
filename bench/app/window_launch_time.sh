#!/usr/bin/env bash
# Time from launching the window program to its main window on screen, with an
# archive of 65,535 rows. The window is shown only after the whole start (the
# archive unsealed, loaded and listed), so its appearance is the moment it is
# ready. Runs on its own virtual screen; the first start in the folder writes
# the language files, skins and templates and is reported apart.
#   cmake --build build-rel --target missivo make_full_archive
#   bench/app/window_launch_time.sh [build-rel] [STARTS]
set -euo pipefail
build="${1:-build-rel}"
starts="${2:-5}"
work="$(mktemp -d)"
# A display of its own, picked by Xvfb; -noreset keeps it serving while no
# program is connected between two starts.
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x900x24 -nolisten tcp -noreset 2>/dev/null)
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
display=":$number"

mkdir -p "$work/program" "$work/config"
"$build/bench/app/make_full_archive" "$work/program"
# The program folder is the folder of the executable.
cp "$build/src/app/missivo" "$work/program/missivo"

launch() {  # -> milliseconds until the main window is visible
  local begin end pid
  begin=$(date +%s%N)
  DISPLAY="$display" XDG_CONFIG_HOME="$work/config" "$work/program/missivo" >>"$work/log" 2>&1 &
  pid=$!
  until DISPLAY="$display" xdotool search --onlyvisible --name '^Missivo 3.3$' >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null || [ $(($(date +%s%N) - begin)) -gt 30000000000 ]; then
      echo "the window did not appear:" >&2
      cat "$work/log" >&2
      exit 1
    fi
    sleep 0.005
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((end - begin) / 1000000))
}

ms=$(launch)
echo "first start (writes languages, skins, templates): $ms ms"
for i in $(seq "$starts"); do
  ms=$(launch)
  echo "start $i: $ms ms"
done
