#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package and unpacks its upstream
# tarball into $1 (once). Run by install-deps.sh, so that configuring and
# building need no network afterwards.
set -euo pipefail
dest=$1
if [ -f "$dest/CMakeLists.txt" ]; then
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source --download-only libjpeg-turbo
mkdir unpack
tar -xf libjpeg-turbo_*.orig.tar.* -C unpack
mkdir -p "$(dirname "$dest")"
rm -rf "$dest"
mv unpack/* "$dest"
