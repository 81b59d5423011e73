#!/usr/bin/env bash
# Fetches the Debian source package $1 and unpacks its upstream tarball into
# $2 (once: when $2/$3, CMakeLists.txt by default, is there already). Run by
# install-deps.sh, so that configuring and building need no network
# afterwards.
set -euo pipefail
package=$1
dest=$2
marker=${3:-CMakeLists.txt}
if [ -f "$dest/$marker" ]; then
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source --download-only "$package"
mkdir unpack
tar -xf "${package}"_*.orig.tar.* -C unpack
mkdir -p "$(dirname "$dest")"
rm -rf "$dest"
mv unpack/* "$dest"
