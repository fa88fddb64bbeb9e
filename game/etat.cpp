#include "game/etat.h"

GameState etat{};
bool partieEnCours = false;
bool mancheFinie = false;

std::int64_t argentTotal(const GameState &g)
{
    std::int64_t total = 0;
    for (int s = 0; s < nbSieges; ++s)
        total += g.tresor[s];
    for (int p = 0; p < nbCagnottes; ++p)
        total += g.cagnottes[p];
    return total;
}
