#include "game/cartes.h"

std::int32_t rang(CardNumber n)
{
    while (n > rangRoi)
        n -= rangRoi;
    return n;
}

QString nomSiege(Seat s)
{
    static const char *const noms[nbSieges] = {"Vous", "Moi", "KORBANIGUE", "Orvane BELTRUCQ"};
    return s >= 1 && s <= nbSieges ? QString::fromUtf8(noms[s - 1]) : QString();
}

QString nomRang(std::int32_t r)
{
    static const char *const figures[3] = {"Valet", "Dame", "Roi"};
    if (r == 1)
        return QStringLiteral("As");
    if (r >= 2 && r <= 10)
        return QString::number(r);
    if (r >= 11 && r <= rangRoi)
        return QString::fromUtf8(figures[r - 11]);
    return QString();
}

int cagnotteDeCarte(CardNumber n)
{
    for (int p = 0; p < nbCagnottes; ++p)
        if (cartesQuiPrennent[p] == n)
            return p;
    return -1;
}

bool estJouable(CardNumber n, std::int32_t dernierRang)
{
    if (n == 0)
        return false;
    return rang(n) == dernierRang + 1 || dernierRang == rangRoi;
}

QString nomCarte(CardNumber n)
{
    if (n < 1 || n > 52)
        return QString();
    // Suits in the order of the card numbers: clubs, diamonds, hearts, spades.
    static const char16_t *const couleurs[4] = {u"trèfle", u"carreau", u"cœur", u"pique"};
    return nomRang(rang(n)) + QStringLiteral(" de ") + QString::fromUtf16(couleurs[(n - 1) / rangRoi]);
}
