#!/usr/bin/env bash
# Fetches a Debian source package (libjpeg-turbo, or the one named by $2)
# into $1 (once) and unpacks its upstream tarball into $1/src.
set -euo pipefail
cache=$1
package=${2:-libjpeg-turbo}
if [ -f "$cache/src/CMakeLists.txt" ]; then
  exit 0
fi
mkdir -p "$cache"
cd "$cache"
if ! ls "${package}"_*.orig.tar.* >/dev/null 2>&1; then
  apt-get source --download-only "$package"
fi
rm -rf src unpack
mkdir unpack
tar -xf "${package}"_*.orig.tar.* -C unpack
mv unpack/* src
rmdir unpack
