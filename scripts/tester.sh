#!/usr/bin/env bash
# Sets everything up on Debian 12, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
racine="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MERLE_PAQUETS_TEST="util-linux clang-14 libclang-rt-14-dev"
. "$racine/scripts/paquets.sh"
cmake -S "$racine" -B "$racine/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMERLE_SANITIZE=ON >/dev/null
cmake --build "$racine/build-asan"
cd "$racine/build-asan"
ctest --output-on-failure -j2
# Then each file reader under libFuzzer for a minute.
bash "$racine/scripts/fuzz.sh" 60
