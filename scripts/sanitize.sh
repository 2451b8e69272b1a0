#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs every test under them, GUI tests included. Any report fails the test that
# made it. Run scripts/setup.sh once first (it installs what this needs).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1: the tests run several times faster than at -O0, and the reports keep their lines.
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DPALOMAS_SANITIZE=ON -DPALOMAS_BENCH=OFF "${launcher[@]}"
cmake --build "$top/build-asan" -j"$(nproc)"
cd "$top/build-asan"
ctest --output-on-failure -j"$(nproc)"
