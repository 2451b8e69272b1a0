#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs when they are missing, then configures and
# builds it in build/. Run it as root (or as a user who may use sudo).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev qt6-translations-l10n
  libsqlite3-dev libfreexl-dev
  # The show's server (GNU libmicrohttpd: HTTP with limits on what clients may send) and the QR
  # of its address.
  libmicrohttpd-dev libqrencode-dev
  fonts-liberation
  sqlite3 python3 python3-xlwt poppler-utils
  # The package and its checks (scripts/package.sh), the guide's PDF, the install test
  # (scripts/install-test.sh).
  dpkg-dev desktop-file-utils appstream lintian python3-markdown weasyprint debootstrap
  # The pages' tests in a real browser (tests/browser): Chromium, driven from Node.js.
  chromium nodejs
  # The reading of .xlsx and .ods workbooks (palomas-lector), the writing of Excel workbooks.
  libquazip1-qt6-dev libxlsxwriter-dev
  # The workbooks of the tests, as each program writes them (tests/data/workbooks/make_workbooks.py).
  python3-openpyxl libreoffice-calc-nogui
  # The fuzzers (scripts/fuzz.sh), which CI runs on every change: clang and its libFuzzer.
  clang libclang-rt-14-dev
  # The QR codes of the cage labels, and reading them back in the tests.
  libqrencode-dev zbar-tools
)
# npm comes with Node.js from some sources; Debian's own package only when it is not there.
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Instalando: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$top/build" -j"$(nproc)"
# playwright-core for the browser tests, at the version package-lock.json pins.
(cd "$top/tests/browser" && npm ci --no-audit --no-fund --loglevel=error)
