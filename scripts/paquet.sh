#!/usr/bin/env bash
# Builds the Debian package of Merle Vert on Debian 12 or 13 the way Debian does,
# with debian/ (dpkg-buildpackage -us -uc -b, CMake's default generator, the
# suites that need neither root nor an install run by dh_auto_test), from a
# copy of the source tree in FOLDER (default build-paquet/), so the tree
# itself stays clean; then checks it with lintian. Prints the path of the
# .deb last, which installs with
#   sudo apt-get install ./build-paquet/merle-vert_*.deb
#
#   bash scripts/paquet.sh [FOLDER]           on this system
#   bash scripts/paquet.sh --chroot [12|13] [FOLDER]  as root, in a new
#       Debian 12 (default) or 13 chroot of build-essential and the
#       Build-Depends alone, by an ordinary user, as Debian's build daemons
#       do: a build dependency missing from debian/control fails there. Then,
#       in the same chroot, that release's lintian checks the package, the
#       package is installed with apt and its autopkgtest run (downloads
#       about 300 MB of packages). DEB_BUILD_OPTIONS is passed on.
#   bash scripts/paquet.sh --deux-fois [FOLDER]  twice, the second time in a
#       deeper folder, without the suites (nocheck), with another locale,
#       time zone and umask; fails unless both .deb files are byte for byte
#       the same
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode=ici
case "${1:-}" in
  --chroot|--deux-fois) mode=${1#--}; shift ;;
esac
publication=12
if [ "$mode" = chroot ]; then
  case "${1:-}" in 12|13) publication=$1; shift ;; esac
fi
MERLE_PAQUETS_TEST="build-essential debhelper dpkg-dev lintian qt6-base-private-dev"
[ "$mode" = chroot ] && MERLE_PAQUETS_TEST="$MERLE_PAQUETS_TEST mmdebstrap"
. "$racine/scripts/paquets.sh"

dossier=$(readlink -m "${1:-$racine/build-paquet}")
version=$(dpkg-parsechangelog -l "$racine/debian/changelog" -S Version)
construire=(dpkg-buildpackage -us -uc -b -j"$(nproc)")

# The files of the tree as a clone would have them, in FOLDER/merle-vert-VERSION:
# tracked and new files, nothing ignored (no build folder), local changes
# included. Prints that folder.
copier() {
  local copie="$1/merle-vert-$version"
  rm -rf "$copie" "$1"/merle-vert*_"$version"_*
  mkdir -p "$copie"
  if git -C "$racine" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$racine" && git ls-files -z --cached --others --exclude-standard \
       | xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh \
       | tar --null -T - -cf -) | tar -xf - -C "$copie"
  else
    tar -C "$racine" --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$copie"
  fi
  echo "$copie"
}

# Builds in FOLDER on this system, logging to FOLDER/construction.log; an
# environment for the build may follow (VAR=value...).
construire_ici() {
  local ici="$1" copie
  shift
  copie=$(copier "$ici")
  (cd "$copie" && env "$@" "${construire[@]}") >"$ici/construction.log" 2>&1
}

# The same in a new chroot of the release, the package files copied out to
# FOLDER. The chroot holds the essential packages, build-essential and apt;
# apt adds the Build-Depends, and a user of no privilege builds in
# /construction (Rules-Requires-Root: no). Then the release's lintian reads
# the package (its report goes to FOLDER/lintian.txt, errors and warnings
# fail), apt installs it, and autopkgtest runs debian/tests against it (a
# smoke test: when it passes autopkgtest exits with 8).
construire_chroot() {
  local ici="$1" copie source suite
  copie=$(copier "$ici")
  source=/construction/${copie##*/}
  case "$publication" in 12) suite=bookworm ;; 13) suite=trixie ;; esac
  mmdebstrap --variant=buildd \
    --customize-hook='mkdir "$1/construction"' \
    --customize-hook="copy-in '$copie' /construction" \
    --customize-hook="chroot \"\$1\" apt-get build-dep -y --no-install-recommends $source" \
    --customize-hook="echo 'constructeur:x:1000:1000::/construction:/bin/sh' >>\"\$1/etc/passwd\"" \
    --customize-hook="echo 'constructeur:x:1000:' >>\"\$1/etc/group\"" \
    --customize-hook='chroot "$1" chown -R 1000:1000 /construction' \
    --customize-hook="chroot \"\$1\" setpriv --reuid=1000 --regid=1000 --clear-groups \
        env HOME=/construction DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-}' sh -c 'cd $source && ${construire[*]}'" \
    --customize-hook='mkdir "$1/resultat" && cp "$1"/construction/*.deb "$1"/construction/*.buildinfo "$1"/construction/*.changes "$1/resultat"' \
    --customize-hook='chroot "$1" apt-get install -y --no-install-recommends lintian autopkgtest' \
    --customize-hook="chroot \"\$1\" sh -c 'lintian --fail-on error,warning /construction/*.deb /construction/*.changes >/resultat/lintian.txt 2>&1'; \
        s=\$?; cat \"\$1/resultat/lintian.txt\"; exit \$s" \
    --customize-hook='chroot "$1" sh -c "apt-get install -y /construction/merle-vert_*.deb"' \
    --customize-hook="chroot \"\$1\" sh -c 'autopkgtest --no-built-binaries --output-dir /resultat/autopkgtest \
        /construction/merle-vert_*.deb $source -- null; s=\$?; [ \$s -eq 0 ] || [ \$s -eq 8 ]'" \
    --customize-hook="sync-out /resultat '$ici'" \
    "$suite" /dev/null >"$ici/construction.log" 2>&1
}

echouer() { # FOLDER: the end of its log, and stop
  tail -n 40 "$1/construction.log" >&2
  echo "paquet.sh : la construction a échoué, journal complet : $1/construction.log" >&2
  exit 1
}

mkdir -p "$dossier"
case "$mode" in
  ici) construire_ici "$dossier" || echouer "$dossier" ;;
  chroot) construire_chroot "$dossier" || echouer "$dossier" ;;
  deux-fois)
    second="$dossier/second/un/chemin/plus/long"
    construire_ici "$dossier" || echouer "$dossier"
    mkdir -p "$second"
    (umask 0002 && construire_ici "$second" DEB_BUILD_OPTIONS=nocheck LC_ALL=C.UTF-8 TZ=UTC-14) \
      || echouer "$second"
    premier_deb=$(ls "$dossier"/merle-vert_"$version"_*.deb)
    second_deb=$(ls "$second"/merle-vert_"$version"_*.deb)
    if ! cmp "$premier_deb" "$second_deb"; then
      diff <(dpkg-deb -c "$premier_deb") <(dpkg-deb -c "$second_deb") >&2 || true
      echo "paquet.sh : les deux constructions diffèrent : $premier_deb $second_deb" >&2
      exit 1
    fi
    echo "paquet.sh : deux constructions, le même paquet : $(sha256sum "$premier_deb" | cut -c1-64)" ;;
esac
paquet=$(ls "$dossier"/merle-vert_"$version"_*.deb)
# Errors and warnings fail; the informational tags left are explained in
# docs/packaging.md. The chroot's build was checked by its own release.
if [ "$mode" = chroot ]; then
  cat "$dossier/lintian.txt"
else
  lintian --fail-on error,warning "$paquet" "$dossier"/merle-vert_"$version"_*.changes | tee "$dossier/lintian.txt"
fi
echo "$paquet"
