#!/usr/bin/env bash
# Builds the Debian package dist/missivo_<version>_<arch>.deb: the window
# program, missivo-cli and missivo-phonesim, optimised with Debian's hardening
# flags, with their manual pages, bash completion, desktop entry, icon and
# AppStream metainfo. Checks the metainfo with appstreamcli and the package
# with lintian (no errors allowed).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build-deb

# Debian's compile and link flags (hardening, reproducible paths).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMISSIVO_BUILD_TESTS=OFF -DMISSIVO_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)"

appstreamcli validate --no-net packaging/io.github.missivo.Missivo.metainfo.xml
desktop-file-validate resources/missivo.desktop

rm -f dist/missivo_*.deb
(cd "$build" && cpack -G DEB)
deb=(dist/missivo_*.deb)
[ ${#deb[@]} -eq 1 ] && [ -f "${deb[0]}" ] || { echo "package.sh: no package was made" >&2; exit 1; }

# Errors fail the build; warnings are shown.
lintian --fail-on error --no-tag-display-limit "${deb[0]}"
dpkg-deb --field "${deb[0]}" Package Version Architecture Depends
echo "package: ${deb[0]}"
