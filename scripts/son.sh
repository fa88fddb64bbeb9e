#!/usr/bin/env bash
# The turn's beep heard for real: builds the game (Release, in build/, as
# scripts/jouer.sh does), then records a sound server's null sink while a
# game is dealt under Xvfb and under weston, with "Son" ticked and unticked,
# then with no sound server and with one that never answers (the X server's
# bell instead). Under Xvfb each game is closed with Alt+F4 and Return, and
# must end within a second. MERLE_SON_AFFICHAGE sets the first X display
# number tried (70 by default).
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="pulseaudio pulseaudio-utils libcanberra-pulse xvfb openbox xdotool weston qt6-wayland dbus at-spi2-core gir1.2-atspi-2.0 python3-gi"
. "$racine/scripts/paquets.sh"
. "$racine/scripts/construire.sh"
exec /usr/bin/python3 "$racine/tests/son.py" "$racine/build/merle-vert"
