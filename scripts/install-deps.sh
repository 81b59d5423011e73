#!/usr/bin/env bash
# Installs, with apt-get, everything the build, the tests and the benchmarks
# (NSIS and 7-Zip are the peers they compare with) need on Debian 12.
# Idempotent: when every package is present it returns at once.
set -euo pipefail

packages=(
  cmake make g++ clang googletest pkg-config zlib1g-dev libjpeg62-turbo-dev libclang-rt-14-dev
  g++-mingw-w64-i686
  wine wine32:i386 fonts-wine fonts-liberation fonts-ipafont-gothic fonts-wqy-microhei
  xvfb xdotool imagemagick x11-utils
  python3 dpkg-dev zip unzip locales
  osslsigncode openssl icoutils
  nsis p7zip-full
)

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/setupstub-deb-src.sources
need_src=0
[ -f "$src_list" ] || need_src=1

# Sources built by the build, from Debian's source packages (the places are
# the defaults of cmake/LibJpegTurbo.cmake, Zlib.cmake and LzmaSdk.cmake):
# each package with a file that shows it is unpacked.
sources=/usr/local/src/lumora-setup
source_packages=(libjpeg-turbo:CMakeLists.txt zlib:CMakeLists.txt 7zip:C/Lzma2Dec.c)
need_sources=0
for entry in "${source_packages[@]}"; do
  [ -f "$sources/${entry%%:*}/${entry#*:}" ] || need_sources=1
done

# Locales for the tests of installers on other code pages: Wine takes the
# code page from the locale's name (ja_JP 932, ru_RU 1251, de_DE 1252 with a
# German user interface) and file names in UTF-8 only from a locale the
# system has; its user interface language too, by which a translated installer
# chooses its texts (one locale for each language of translations/).
locales=(ja_JP ru_RU de_DE fr_FR es_ES it_IT pt_BR nl_NL pl_PL zh_CN)
need_locale=0
for name in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$name.utf8" || need_locale=1
done

if [ "$need_i386" = 0 ] && [ "${#missing[@]}" = 0 ] && [ "$need_src" = 0 ] && [ "$need_sources" = 0 ] &&
   [ "$need_locale" = 0 ]; then
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing packages (${missing[*]:-none}) or sources; run as root to install them" >&2
  exit 1
fi

[ "$need_i386" = 1 ] && dpkg --add-architecture i386

if [ "$need_src" = 1 ]; then
  # Source packages (libjpeg-turbo, zlib) come from Debian's own registry.
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
for entry in "${source_packages[@]}"; do
  "$(dirname "$0")/fetch-debian-source.sh" "${entry%%:*}" "$sources/${entry%%:*}" "${entry#*:}"
done
if [ "$need_locale" = 1 ]; then
  for name in "${locales[@]}"; do
    localedef -i "$name" -f UTF-8 "$name.UTF-8"
  done
fi
