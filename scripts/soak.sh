#!/usr/bin/env bash
# Plays GAMES random games (default 20000) through the real windows in a
# Release build of its own (build-soak/), checking the game's invariants
# after every event, and prints games, events, seconds and violations.
# Usage: scripts/soak.sh [GAMES] [SEED]. Exits non-zero on any violation.
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
parties="${1:-20000}"
graine="${2:-20261208}"
cmake -S "$racine" -B "$racine/build-soak" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMERLE_SANITIZE=OFF >/dev/null
cmake --build "$racine/build-soak" --target merle_soak
cd "$(mktemp -d)"
exec "$racine/build-soak/tests/merle_soak" "$parties" "$graine"
