#!/usr/bin/env bash
# Builds the Debian package (build-paquete/palomas_<version>_amd64.deb) and checks it: the
# desktop entry (desktop-file-validate), the AppStream metadata (appstreamcli validate) and the
# package (lintian: any error fails; warnings and notes are printed). Run scripts/setup.sh first.
#   scripts/package.sh
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-paquete"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Debian's own build flags, hardening included, as a package built by Debian's tools gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPALOMAS_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/palomas_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/palomas_*_amd64.deb)
echo "== Paquete: $deb ($(du -h "$deb" | cut -f1))"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

desktop-file-validate "$top/packaging/es.palomas.Exposicion.desktop"
echo "== desktop-file-validate: correcto"
appstreamcli validate --no-net --pedantic "$build/packaging/es.palomas.Exposicion.metainfo.xml"
# lintian exits non-zero on errors only; what it says about the rest is shown, each kind kept
# or mended with its reason in packaging/lintian.md.
lintian --fail-on error --display-info --suppress-tags-from-file "$top/packaging/lintian-overrides" "$deb"
echo "== lintian: sin errores"
