#!/usr/bin/env bash
# A whole game heard through Debian's screen reader: builds the game
# (Release, in build/, as scripts/jouer.sh does), then plays a game with the
# keyboard alone beside Orca under a virtual X server (a round, a save and a
# load, the end of the game, the best score, the rules), and checks from
# Orca's log that every card, pot, turn, window and box was said and
# brailled, and where the focus went after each window. Runs on Debian 12
# and on Debian 13.
# The transcript of speech goes to the file given (default:
# docs/lecteur-ecran.txt, docs/lecteur-ecran-13.txt on Debian 13), that of
# the braille line beside it, its name ending in "-braille".
# MERLE_WM names another window manager than openbox, installed beforehand:
#   MERLE_WM=kwin_x11 bash scripts/ecoute.sh /tmp/kwin.txt   (package kwin-x11)
#   marco stops at once without the schemas of mate-settings-daemon-common.
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="orca xvfb openbox xdotool dbus"
. "$racine/scripts/paquets.sh"
. "$racine/scripts/construire.sh"
. /etc/os-release
transcription="$racine/docs/lecteur-ecran.txt"
[ "${VERSION_ID:-}" = 13 ] && transcription="$racine/docs/lecteur-ecran-13.txt"
exec /usr/bin/python3 "$racine/tests/lecteur_ecran.py" "$racine/build/merle-vert" "${1:-$transcription}"
