#!/usr/bin/env bash
# Sets everything up on Debian 12 or 13, builds the game alone (no tests) in
# Release in build/ and starts it through the same launcher as the installed
# game: it runs in ${XDG_DATA_HOME:-~/.local/share}/merle-vert, which holds
# links to the help pages and the best-score file "mv".
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$racine/scripts/paquets.sh"
. "$racine/scripts/construire.sh"
exec "$racine/build/merle-vert"
