#!/usr/bin/env bash
# A whole game heard through Debian's screen reader: builds the game
# (Release, in build/, as scripts/jouer.sh does), then plays a game with the
# keyboard alone beside Orca under a virtual X server (a round, a save and a
# load, the end of the game, the best score, the rules), and checks from
# Orca's log that every card, pot, turn, window and box was said, and where
# the focus went after each window.
# The transcript goes to the file given (default: docs/lecteur-ecran.txt).
# MERLE_WM names another window manager than openbox, installed beforehand:
#   MERLE_WM=kwin_x11 bash scripts/ecoute.sh /tmp/kwin.txt   (package kwin-x11)
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="orca xvfb openbox xdotool dbus"
. "$racine/scripts/paquets.sh"
. "$racine/scripts/construire.sh"
exec /usr/bin/python3 "$racine/tests/lecteur_ecran.py" "$racine/build/merle-vert" "${1:-$racine/docs/lecteur-ecran.txt}"
