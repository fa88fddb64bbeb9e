#pragma once
// The game's own random generator: a 32-bit linear congruential state; a draw
// below n is the high 32 bits of state * n.
#include <cstdint>

class Hasard {
public:
    void semer(std::uint32_t graine) { etat = graine; }
    std::uint32_t tirer(std::uint32_t n)
    {
        etat = etat * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(etat) * n) >> 32);
    }

private:
    std::uint32_t etat = 0;
};

extern Hasard hasard;
