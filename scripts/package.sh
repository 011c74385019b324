#!/usr/bin/env bash
# Builds the Debian package dist/missivo_<version>_<arch>.deb: the window
# program, missivo-cli and missivo-phonesim, optimised, with their manual pages,
# bash completion, desktop entry, icon and AppStream metainfo. Checks the
# metainfo with appstreamcli and the package with lintian (no errors allowed).
# Reuses the optimised build folder of scripts/test.sh (same settings), so after
# the tests only what changed is built.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build-rel

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMISSIVO_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)" --target missivo missivo-cli phonesim missivo_packaging_files

appstreamcli validate --no-net packaging/io.github.missivo.Missivo.metainfo.xml
desktop-file-validate resources/missivo.desktop

rm -f dist/missivo_*.deb
(cd "$build" && cpack -G DEB)
deb=(dist/missivo_*.deb)
[ ${#deb[@]} -eq 1 ] && [ -f "${deb[0]}" ] || { echo "package.sh: no package was made" >&2; exit 1; }

# Errors fail the build; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "${deb[0]}"
dpkg-deb --field "${deb[0]}" Package Version Architecture Depends
echo "package: ${deb[0]}"
