#pragma once
// Helpers shared by the deal, turn and whole-round tests: a readable list of
// the fields two game states differ in, and a prepared deal.
#include <QAction>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <vector>
#include "support/table.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"

// The fields in which a and b differ, with both values; empty when equal.
inline QString ecarts(const GameState &a, const GameState &b)
{
    QStringList e;
    auto champ = [&e](const char *nom, const std::int32_t *x, const std::int32_t *y, int n) {
        for (int i = 0; i < n; ++i)
            if (x[i] != y[i])
                e << QStringLiteral("%1[%2]: %3 / %4").arg(QLatin1String(nom)).arg(i).arg(x[i]).arg(y[i]);
    };
    champ("talon", a.talon, b.talon, 4);
    champ("tresor", a.tresor, b.tresor, nbSieges);
    champ("cartesRestantes", a.cartesRestantes, b.cartesRestantes, nbSieges);
    champ("compteDonne", a.compteDonne, b.compteDonne, 5);
    champ("mains", &a.mains[0][0], &b.mains[0][0], nbSieges * tailleMain);
    champ("premierJoueur", &a.premierJoueur, &b.premierJoueur, 1);
    champ("premierPrecedent", &a.premierPrecedent, &b.premierPrecedent, 1);
    champ("cagnottes", a.cagnottes, b.cagnottes, nbCagnottes);
    champ("dernierRang", &a.dernierRang, &b.dernierRang, 1);
    champ("carteJouee", &a.carteJouee, &b.carteJouee, 1);
    champ("nbPasses", &a.nbPasses, &b.nbPasses, 1);
    champ("niveau", &a.niveau, &b.niveau, 1);
    return e.join(QStringLiteral("; "));
}

// A new game and its first deal (led by the human), then the four hands and
// the talon replaced by the given cards. The hands are sorted and the human's
// hand redrawn by the game's own sort; an empty slot (0) gets no image.
inline void preparerDonne(Tprincipale &f, std::initializer_list<std::initializer_list<CardNumber>> mains,
                          std::initializer_list<CardNumber> talon)
{
    f.nouvellePartie();
    f.Button2Click();
    int s = 0;
    for (const auto &main : mains) {
        // As the deal leaves them: ascending card numbers, before the sort.
        std::vector<CardNumber> cartes(main);
        std::sort(cartes.begin(), cartes.end());
        int k = 0;
        for (CardNumber n : cartes)
            etat.mains[s][k++] = n;
        while (k < tailleMain)
            etat.mains[s][k++] = 0;
        etat.cartesRestantes[s] = static_cast<std::int32_t>(main.size());
        f.affichagesCartes[s]->afficher(etat.cartesRestantes[s]);
        ++s;
    }
    int t = 0;
    for (CardNumber n : talon)
        etat.talon[t++] = n;
    f.trierMains();
    for (int k = 0; k < tailleMain; ++k) {
        f.imagesMain[k]->setVisible(etat.mains[0][k] != 0);
        f.imagesMain[k]->setEnabled(etat.mains[0][k] != 0);
    }
}

// Slot of card n in the hand of seat s, -1 when it is not there.
inline int slotDe(Seat s, CardNumber n)
{
    for (int k = 0; k < tailleMain; ++k)
        if (etat.mains[s - 1][k] == n)
            return k;
    return -1;
}
