#!/usr/bin/env bash
# The README's test command in a fresh Debian RELEASE (12 or 13, default 13),
# as a new user of that release would run it: a chroot made with mmdebstrap
# (the essential and required packages, apt and gnome-cards-data), the tree
# copied in, scripts/tester.sh run there as root (it installs what it lacks),
# then the CTest suite again as an ordinary user, as .ci/run does on this
# system, less the two installation suites (the package is built by an
# ordinary user in scripts/paquet.sh --chroot 13, and the run stays within
# CI's time). The chroot goes away at the end. Fuzzing is left out: the same
# code is fuzzed by the host's run. DEB_BUILD_OPTIONS is passed on to the
# package build of the test command (.ci/run gives nocheck: the suites have
# just run in the same chroot).
#
#   bash scripts/debian.sh [12|13]
#
# Needs root and mmdebstrap, and downloads about 1 GB of packages; without
# them it says why and exits 77 (skipped).
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
version="${1:-13}"
case "$version" in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "usage: $0 [12|13]" >&2; exit 2 ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "debian.sh : ignoré : il faut être root pour faire un chroot Debian $version"
  exit 77
fi
if ! command -v mmdebstrap >/dev/null; then
  echo "debian.sh : ignoré : mmdebstrap manque (apt-get install mmdebstrap)"
  exit 77
fi

# The tree as .ci/run copies it: no build folder, no git metadata.
copie=$(mktemp -d /tmp/merle-debian.XXXXXX)
trap 'rm -rf "$copie"' EXIT
tar -C "$racine" --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$copie"

# The decks the rasteriser knows, in its order (the names CMake reads too).
jeux=$(sed -n 's/^    {"\([^"]*\)", .*/\1/p' "$racine/tools/rasteriseur_cartes.cpp" | tr '\n' ' ')

# The ordinary user: uid 1000 with a home of its own; no sudo, so the tests
# that need root skip.
utilisateur='merle-ci:x:1000:1000::/home/merle-ci:/bin/sh'
mmdebstrap --variant=minbase --include=gnome-cards-data \
  --customize-hook="for j in $jeux; do
      if [ -f \"\$1/usr/share/aisleriot/cards/\$j.svgz\" ]; then
        echo \"debian.sh : Debian $version, jeu de cartes : \$j.svgz\"; exit 0
      fi
    done
    echo \"debian.sh : Debian $version n'a aucun des jeux de cartes connus ($jeux)\" >&2; exit 1" \
  --customize-hook="mkdir -p \"\$1/merle\" && cp -a '$copie/.' \"\$1/merle/\"" \
  --customize-hook="chroot \"\$1\" env MERLE_FUZZ_SECONDES=0 DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-}' bash /merle/scripts/tester.sh" \
  --customize-hook="echo '$utilisateur' >>\"\$1/etc/passwd\"; echo 'merle-ci:x:1000:' >>\"\$1/etc/group\"" \
  --customize-hook='mkdir -p "$1/home/merle-ci" && chroot "$1" chown -R 1000:1000 /merle /home/merle-ci' \
  --customize-hook='chroot "$1" sh -c "cd /merle/build-asan && setpriv --reuid=1000 --regid=1000 --clear-groups \
      env -u XDG_RUNTIME_DIR HOME=/home/merle-ci USER=merle-ci LOGNAME=merle-ci ctest --output-on-failure -j2 -LE installation"' \
  "$suite" /dev/null
