# Builds the game alone (no tests) in Release in build/. Sourced by the
# scripts of this folder that start it, after scripts/paquets.sh.
# Ninja for a new build folder; an existing one keeps its generator.
generateur=()
[ -f "$racine/build/CMakeCache.txt" ] || generateur=(-G Ninja)
cmake -S "$racine" -B "$racine/build" "${generateur[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$racine/build" -j"$(nproc)"
