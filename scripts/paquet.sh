#!/usr/bin/env bash
# Builds the Debian package of Merle Vert on Debian 12: a Release build in
# build-paquet/, then cpack. Prints the path of the .deb, which installs with
#   sudo apt-get install ./build-paquet/merle-vert_*.deb
# The package's maintainer is taken from DEBFULLNAME and DEBEMAIL when set.
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="dpkg-dev file"
. "$racine/scripts/paquets.sh"
construction="$racine/build-paquet"
options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr)
if [ -n "${DEBEMAIL:-}" ]; then
  options+=("-DMERLE_MAINTENEUR=${DEBFULLNAME:-Merle Vert} <$DEBEMAIL>")
fi
cmake -S "$racine" -B "$construction" -G Ninja "${options[@]}" >/dev/null
cmake --build "$construction"
rm -f "$construction"/merle-vert_*.deb
(cd "$construction" && cpack -G DEB >/dev/null)
paquet=$(ls "$construction"/merle-vert_*.deb)
echo "$paquet"
