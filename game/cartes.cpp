#include "game/cartes.h"

std::int32_t rang(CardNumber n)
{
    while (n > 13)
        n -= 13;
    return n;
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
    return rang(n) == dernierRang + 1 || dernierRang == 13;
}

QString nomCarte(CardNumber n)
{
    if (n < 1 || n > 52)
        return QString();
    // Suits in the order of the card numbers: clubs, diamonds, hearts, spades.
    static const char16_t *const couleurs[4] = {u"trèfle", u"carreau", u"cœur", u"pique"};
    static const char16_t *const figures[3] = {u"Valet", u"Dame", u"Roi"};
    const std::int32_t r = rang(n);
    QString nom;
    if (r == 1)
        nom = QStringLiteral("As");
    else if (r >= 11)
        nom = QString::fromUtf16(figures[r - 11]);
    else
        nom = QString::number(r);
    return nom + QStringLiteral(" de ") + QString::fromUtf16(couleurs[(n - 1) / 13]);
}
