#include "game/cartes.h"

std::int32_t rang(CardNumber n)
{
    while (n > 13)
        n -= 13;
    return n;
}

int cagnotteDeCarte(CardNumber n)
{
    for (int i = 0; i < nbCagnottes; ++i)
        if (tableCagnottes[i].carte == n)
            return i;
    return -1;
}

bool estJouable(CardNumber n, std::int32_t dernierRang)
{
    if (n == 0)
        return false;
    return rang(n) == dernierRang + 1 || dernierRang == 13;
}
