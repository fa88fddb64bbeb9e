#!/usr/bin/env bash
# Builds the Debian package of Merle Vert on Debian 12 the way Debian does,
# with debian/ (dpkg-buildpackage -us -uc -b, CMake's default generator), from
# a copy of the source tree in FOLDER (default build-paquet/), so the tree
# itself stays clean; then checks it with lintian. Prints the path of the
# .deb last, which installs with
#   sudo apt-get install ./build-paquet/merle-vert_*.deb
#   bash scripts/paquet.sh [FOLDER]
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="build-essential debhelper dpkg-dev lintian"
. "$racine/scripts/paquets.sh"

dossier=$(readlink -m "${1:-$racine/build-paquet}")
version=$(dpkg-parsechangelog -l "$racine/debian/changelog" -S Version)
copie="$dossier/merle-vert-$version"
rm -rf "$copie" "$dossier"/merle-vert*_"$version"_*
mkdir -p "$copie"

# The files of the tree as a clone would have them: tracked and new files,
# nothing ignored (no build folder), local changes included.
if git -C "$racine" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$racine" && git ls-files -z --cached --others --exclude-standard \
     | xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh \
     | tar --null -T - -cf -) | tar -xf - -C "$copie"
else
  tar -C "$racine" --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$copie"
fi

journal="$dossier/construction.log"
if ! (cd "$copie" && dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$journal" 2>&1; then
  tail -n 40 "$journal" >&2
  echo "paquet.sh : la construction a échoué, journal complet : $journal" >&2
  exit 1
fi
paquet=$(ls "$dossier"/merle-vert_"$version"_*.deb)
# Errors and warnings fail; the informational tags left are explained in
# README.md.
lintian --fail-on error,warning "$paquet" "$dossier"/merle-vert_"$version"_*.changes | tee "$dossier/lintian.txt"
echo "$paquet"
