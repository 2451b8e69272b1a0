#!/usr/bin/env bash
# Remakes the guide's screenshots (docs/guia/capturas/) from the real windows, offscreen, on a
# generated exhibition; with names, only those shots (scripts/capturas.sh recepcion puntuacion).
# A new window is one line in the table of tools/capturas/capturas.cpp.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${PALOMAS_BUILD:-$top/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target palomas-capturas -j"$(nproc)" >/dev/null
"$build/bin/palomas-capturas" "$top/docs/guia/capturas" "$@" 2> >(grep -v propagateSizeHints >&2)
