#!/usr/bin/env bash
# Sets everything up on Debian 12 and starts Merle Vert.
# The game runs in ~/.local/share/MerleVert, which holds the help pages and
# the best-score file "mv".
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$racine/scripts/paquets.sh"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$racine/build"
donnees="${XDG_DATA_HOME:-$HOME/.local/share}/MerleVert"
mkdir -p "$donnees"
cp -f "$racine"/help/* "$donnees"/
cd "$donnees"
exec "$racine/build/MerleVert"
