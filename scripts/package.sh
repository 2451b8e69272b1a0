#!/usr/bin/env bash
# Builds the Debian package (build-paquete/palomas_<version>_amd64.deb) and checks it: the
# desktop entry (desktop-file-validate), the AppStream metadata (appstreamcli validate) and the
# package (lintian: any error fails; warnings and notes are printed). Run scripts/setup.sh first.
#   scripts/package.sh          a release build of its own, with Debian's hardening flags
#   scripts/package.sh build    the package of a build folder already made (CI: the one tested)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ -n "${1:-}" ]; then
  build=$(cd "$1" && pwd)
  # Only the install prefix changes: the paths the manual pages name.
  cmake -S "$top" -B "$build" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
else
  build="$top/build-paquete"
  # Debian's own build flags, hardening included, as a package built by Debian's tools gets them.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  ldflags=$(dpkg-buildflags --get LDFLAGS)
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPALOMAS_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/palomas_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/palomas_*_amd64.deb)
echo "== Paquete: $deb ($(du -h "$deb" | cut -f1))"
dpkg-deb --field "$deb"

desktop-file-validate "$top/packaging/es.palomas.Exposicion.desktop"
echo "== desktop-file-validate: correcto"
appstreamcli validate --no-net --pedantic "$build/packaging/es.palomas.Exposicion.metainfo.xml"
# lintian fails on errors only; what it still says is shown, each with its reason in
# packaging/lintian.md.
lintian --fail-on error --display-info "$deb"
echo "== lintian: sin errores"
