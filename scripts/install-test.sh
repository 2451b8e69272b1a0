#!/usr/bin/env bash
# Builds the package (scripts/package.sh) and tries it in a clean Debian 12 root, as an organiser
# would meet it: installed with apt, used by a user who is not root (palomas-cli --version,
# crear, an import that needs palomas-lector, listados, and the windowed program offscreen for
# a few seconds), then removed; afterwards nothing may be left but the user's own files.
# The base root (debootstrap from Debian's mirror) and the packages apt downloads are kept in
# $PALOMAS_ROOT_CACHE (default /var/cache/palomas-prueba) for the next runs. Needs root.
#   scripts/install-test.sh                 builds the package first (scripts/package.sh)
#   scripts/install-test.sh PAQUETE.deb     tries a package already built (CI: that of the tests)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${PALOMAS_ROOT_CACHE:-/var/cache/palomas-prueba}
mirror=${PALOMAS_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "scripts/install-test.sh necesita root (debootstrap, chroot)"; exit 1; }
start=$SECONDS
step() { echo "== $* ($((SECONDS - start)) s)"; }

if [ -n "${1:-}" ]; then
  deb=$(realpath "$1")
else
  "$top/scripts/package.sh"
  deb=$(ls "$top"/build-paquete/palomas_*_amd64.deb)
fi
version=$(dpkg-deb --field "$deb" Version)

if [ ! -d "$cache/bookworm" ]; then
  step "Raíz base de Debian 12 (debootstrap, una sola vez)"
  rm -rf "$cache/bookworm.tmp"
  mkdir -p "$cache"
  debootstrap --variant=minbase bookworm "$cache/bookworm.tmp" "$mirror"
  mv "$cache/bookworm.tmp" "$cache/bookworm"
fi
mkdir -p "$cache/archives/partial"

root=$(mktemp -d /var/tmp/palomas-raiz.XXXXXX)
cleanup() {
  for mount in var/cache/apt/archives dev/pts dev proc; do
    umount "$root/$mount" 2>/dev/null || true
  done
  rm -rf "$root"
}
trap cleanup EXIT
step "Copia limpia de la raíz en $root"
cp -a "$cache/bookworm/." "$root/"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
# As the organiser: an ordinary user, with a home of their own and no display.
as_user() {
  chroot --userspec=organizador:organizador "$root" /usr/bin/env -i HOME=/home/organizador \
    PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp/organizador "$@"
}
fail() {
  echo "FALLO: $*"
  exit 1
}
# Compares a command's output with what is expected, whole.
expect() {
  local wanted=$1
  shift
  local got
  got=$("$@" 2>&1) || true
  [ "$got" = "$wanted" ] || fail "$*: se esperaba «$wanted» y se obtuvo «$got»"
  echo "correcto: $* → $got"
}

step "Dependencias del paquete (apt)"
cp "$deb" "$root/tmp/palomas.deb"
in_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq /tmp/palomas.deb >/dev/null
in_root dpkg --purge palomas >/dev/null
in_root useradd --create-home organizador
mkdir -p "$root/tmp/organizador" && chroot "$root" chown organizador: /tmp/organizador
chmod 700 "$root/tmp/organizador"

# Every path of the root but the mounts and the temporary files: what the package's removal must
# bring back.
snapshot() {
  (cd "$root" && find . -xdev \( -path ./proc -o -path ./dev -o -path ./tmp -o -path ./var/cache/apt \
    -o -path ./var/lib/dpkg -o -path ./var/lib/apt -o -path ./var/log \) -prune -o -print | sort) >"$1"
}
snapshot "$root/../palomas-antes.$$"
trap 'rm -f "$root/../palomas-antes.$$" "$root/../palomas-despues.$$"; cleanup' EXIT

step "Instalación de palomas $version"
in_root dpkg -i /tmp/palomas.deb >/dev/null
[ -x "$root/usr/libexec/palomas/palomas-lector" ] || fail "falta /usr/libexec/palomas/palomas-lector"

step "Pruebas como usuario"
expect "palomas-cli $version" as_user palomas-cli --version
expect "palomas $version" as_user palomas --version
expect "/home/organizador/Regional.mdb" as_user palomas-cli crear /home/organizador Regional
[ -f "$root/home/organizador/Regional.mdb" ] || fail "crear no ha creado /home/organizador/Regional.mdb"
# The census through palomas-lector, which is found in /usr/libexec/palomas.
/usr/bin/python3 "$top/tests/data/make_workbook.py" reception "$root/tmp/censo.xls" 30
chmod 644 "$root/tmp/censo.xls"
as_user palomas-cli importar-recepcion /home/organizador/Regional.mdb /tmp/censo.xls >"$root/tmp/importar.txt" 2>&1 ||
  fail "importar-recepcion: $(cat "$root/tmp/importar.txt")"
echo "correcto: importar-recepcion → $(head -n 1 "$root/tmp/importar.txt")"
# Club.mdb of the installed program is in the user's data folder, the same for both programs.
expect "No se encuentra el archivo de clubes «/home/organizador/.local/share/Palomas/Palomas/Club.mdb»; indíquelo con --clubs." \
  as_user palomas-cli listados /home/organizador/Regional.mdb /home/organizador/listados
# The windowed program, offscreen: still running after a few seconds (timeout ends it, 124).
set +e
as_user timeout 5 palomas -platform offscreen >"$root/tmp/palomas.txt" 2>&1
status=$?
set -e
[ "$status" -eq 124 ] || fail "palomas terminó con $status antes de tiempo: $(cat "$root/tmp/palomas.txt")"
echo "correcto: palomas -platform offscreen sigue abierto a los 5 s"
[ -d "$root/home/organizador/.local/share/Palomas/Palomas" ] ||
  fail "la carpeta de datos del usuario no se ha creado"

step "Desinstalación"
in_root dpkg --purge palomas >/dev/null
snapshot "$root/../palomas-despues.$$"
left=$(comm -13 "$root/../palomas-antes.$$" "$root/../palomas-despues.$$" |
  grep -v -E '^\./home/organizador(/|$)' || true)
[ -z "$left" ] || fail "quedan archivos del paquete: $left"
echo "correcto: no queda nada fuera de /home/organizador; del usuario quedan:"
comm -13 "$root/../palomas-antes.$$" "$root/../palomas-despues.$$" | sed 's/^/  /'
step "Prueba de instalación correcta"
