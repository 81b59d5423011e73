#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package into $1 (once) and unpacks
# its upstream tarball into $1/src.
set -euo pipefail
cache=$1
if [ -f "$cache/src/CMakeLists.txt" ]; then
  exit 0
fi
mkdir -p "$cache"
cd "$cache"
if ! ls libjpeg-turbo_*.orig.tar.* >/dev/null 2>&1; then
  apt-get source --download-only libjpeg-turbo
fi
rm -rf src unpack
mkdir unpack
tar -xf libjpeg-turbo_*.orig.tar.* -C unpack
mv unpack/* src
rmdir unpack
