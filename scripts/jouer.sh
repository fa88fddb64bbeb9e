#!/usr/bin/env bash
# Sets everything up on Debian 12, builds the game alone (no tests) in
# Release in build/ and starts it through the same launcher as the installed
# game: it runs in ${XDG_DATA_HOME:-~/.local/share}/merle-vert, which holds
# links to the help pages and the best-score file "mv".
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$racine/scripts/paquets.sh"
# Ninja for a new build folder; an existing one keeps its generator.
generateur=()
[ -f "$racine/build/CMakeCache.txt" ] || generateur=(-G Ninja)
cmake -S "$racine" -B "$racine/build" "${generateur[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$racine/build" -j"$(nproc)"
exec "$racine/build/merle-vert"
