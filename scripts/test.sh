#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer (warnings are errors), and runs every test. The
# programs and benchmarks are also built optimised, since some warnings only
# show with the optimiser on.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs="$(nproc)"

cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DMISSIVO_BUILD_TESTS=ON -DMISSIVO_WERROR=ON
cmake --build build-rel -j"$jobs" --target missivo missivo-cli phonesim benchmarks

build=build-asan
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DMISSIVO_SANITIZE=ON -DMISSIVO_WERROR=ON
cmake --build "$build" -j"$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$jobs" "$@"
