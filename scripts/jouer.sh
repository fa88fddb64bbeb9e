#!/usr/bin/env bash
# Sets everything up on Debian 12 and starts Merle Vert from the build tree,
# through the same launcher as the installed game: it runs in
# ${XDG_DATA_HOME:-~/.local/share}/merle-vert, which holds links to the help
# pages and the best-score file "mv".
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$racine/scripts/paquets.sh"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$racine/build"
exec "$racine/build/merle-vert"
