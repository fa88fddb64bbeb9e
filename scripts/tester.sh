#!/usr/bin/env bash
# Sets everything up on Debian 12 or 13, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer (Ninja), fuzzes the file readers and runs every
# test, among them the Debian package built as Debian does (Unix Makefiles).
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="qt6-base-private-dev util-linux desktop-file-utils appstream build-essential debhelper dpkg-dev lintian pulseaudio pulseaudio-utils libcanberra-pulse xvfb openbox weston qt6-wayland dbus at-spi2-core gir1.2-atspi-2.0 python3-gi xdotool"
# clang only for the fuzzing, which MERLE_FUZZ_SECONDES=0 leaves out
# (scripts/debian.sh, where the host's CI has already fuzzed the same code).
if [ "${MERLE_FUZZ_SECONDES:-60}" -gt 0 ]; then
  MERLE_PAQUETS_TEST="$MERLE_PAQUETS_TEST clang libclang-rt-dev"
fi
. "$racine/scripts/paquets.sh"
cmake -S "$racine" -B "$racine/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERLE_SANITIZE=ON >/dev/null
cmake --build "$racine/build-asan"
# Each file reader under libFuzzer for a minute, then every test; ctest's
# summary closes the output.
if [ "${MERLE_FUZZ_SECONDES:-60}" -gt 0 ]; then
  bash "$racine/scripts/fuzz.sh" "${MERLE_FUZZ_SECONDES:-60}"
fi
cd "$racine/build-asan"
ctest --output-on-failure -j2
