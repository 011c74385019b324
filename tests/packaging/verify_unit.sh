#!/bin/sh
# Checks a systemd unit with systemd-analyze verify: it must pass without a
# word of warning (a misspelt setting is only warned about). Skipped (77)
# where systemd-analyze is missing.
set -u
unit=$1
command -v systemd-analyze >/dev/null 2>&1 || { echo "systemd-analyze is missing"; exit 77; }
runtime=$(mktemp -d) || exit 1
trap 'rm -rf "$runtime"' EXIT
# A user manager's check wants a runtime folder of its own.
report=$(XDG_RUNTIME_DIR=$runtime systemd-analyze verify --user --man=no "$unit" 2>&1)
status=$?
[ -n "$report" ] && printf '%s\n' "$report"
[ "$status" -eq 0 ] && [ -z "$report" ]
