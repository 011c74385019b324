#!/usr/bin/env bash
# Peak memory (maximum resident set size) of the window program: started in a
# program folder whose archive holds 65,535 rows, and for comparison in an
# empty one, on Qt's offscreen platform; ended after its start has long been
# done. Needs a Release build with the benchmarks:
#   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DMISSIVO_BUILD_TESTS=ON
#   cmake --build build-rel --target missivo make_full_archive
#   bench/app/window_peak_memory.sh [build-rel]
set -euo pipefail
build="${1:-build-rel}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

peak() {  # program folder -> peak RSS in KiB
  local folder="$1"
  # The program folder is the folder of the executable.
  cp "$build/src/app/missivo" "$folder/missivo"
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
    /usr/bin/time -v timeout -s INT 10 "$folder/missivo" 2>"$folder/time.txt" >/dev/null || true
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$folder/time.txt"
}

mkdir -p "$work/empty" "$work/full"
"$build/bench/app/make_full_archive" "$work/full"
empty="$(peak "$work/empty")"
full="$(peak "$work/full")"
echo "peak RSS, empty archive:        $((empty / 1024)) MiB ($empty KiB)"
echo "peak RSS, archive of 65535 rows: $((full / 1024)) MiB ($full KiB)"
