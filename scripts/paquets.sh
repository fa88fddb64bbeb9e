# Installs the Debian packages the game needs to build, run and be tested, on
# Debian 12 or 13: every name here exists on both (clang and libclang-rt-dev
# are each release's default clang). Sourced by the scripts of this folder,
# each adding what it needs in MERLE_PAQUETS_TEST; runs apt-get only for what
# is missing. debian/control names the same build packages.
MERLE_PAQUETS="cmake ninja-build g++ qt6-base-dev qt6-svg-dev qt6-translations-l10n libcanberra-dev gnome-cards-data fonts-dejavu-core fonts-dejavu-extra"
if [ -n "${MERLE_PAQUETS_TEST:-}" ]; then
  MERLE_PAQUETS="$MERLE_PAQUETS $MERLE_PAQUETS_TEST"
fi
manquants=""
for p in $MERLE_PAQUETS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants="$manquants $p"
done
if [ -n "$manquants" ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  echo "Installation des paquets :$manquants"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $manquants
fi
