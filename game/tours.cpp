// The turns of a round: the human's cards, pass and claim, the three computer
// seats, and the pots won by laying a card that takes.
#include <QCheckBox>
#include <QPushButton>
#include "platform/plateforme.h"
#include "ui/Unit1.h"
#include "ui/afficheur.h"
#include "ui/annonce.h"
#include "ui/imagecarte.h"

namespace {
constexpr int pauseApresCarte = 500;   // ms during which each computer card stays in view
} // namespace

void Tprincipale::poserCarte(Seat s, int k)
{
    const CardNumber n = etat.mains[s - 1][k];
    etat.nbPasses = 0;
    etat.carteJouee = n;
    etat.dernierRang = rang(n);
    etat.mains[s - 1][k] = 0;
    --etat.cartesRestantes[s - 1];
    affichagesCartes[s - 1]->afficher(etat.cartesRestantes[s - 1]);
    // Painted at once, with the count beside it: a computer card must be on
    // screen before the pause that follows it, and that pause takes no events.
    Image13->dessinerCarte(n);
    Image13->repaint();
    annonces->cartePosee(s, n);
}

void Tprincipale::legenderPasse()
{
    // The caption names the rank the human would need next. After a king any
    // card may be laid, so there is nothing to name: the caption stays.
    const std::int32_t r = etat.dernierRang;
    if (r >= 1 && r < rangRoi)
        Button4->setText(QStringLiteral("Sans ") + nomRang(r + 1).toLower());
}

void Tprincipale::finDeTour()
{
    // Four turn ends since the last card, that card's own turn included:
    // nobody could follow, so the rank is skipped. A skip never goes past the
    // king, where any card may be laid.
    ++etat.nbPasses;
    if (etat.nbPasses >= 4) {
        if (etat.dernierRang < rangRoi) {
            ++etat.dernierRang;
            annonces->rangSaute(etat.dernierRang);
        }
        etat.nbPasses = 0;
    }
}

void Tprincipale::Image1Click(QObject *Sender)
{
    const int k = imagesMain.indexOf(qobject_cast<ImageCarte *>(Sender));
    if (k < 0)
        return;
    if (estJouable(etat.mains[0][k], etat.dernierRang)) {
        imagesMain[k]->setEnabled(false);
        imagesMain[k]->hide();
        poserCarte(1, k);
        Button4->setEnabled(true);
        Button5->setEnabled(true);
        if (etat.dernierRang == rangRoi)
            Button4->setEnabled(false);   // after a king the human must open the next run
        else
            legenderPasse();
    } else {
        plateforme().afficher(QStringLiteral("La carte n'est pas valide"));
    }
    LCDNumber5->afficher(etat.cartesRestantes[0]);
    finMancheVous();
    annonces->publier();
}

void Tprincipale::Button4Click()
{
    finDeTour();
    Button4->setEnabled(false);
    Button5->setEnabled(false);
    jouerOrdinateur(2);
}

void Tprincipale::Button5Click()
{
    Button5->setEnabled(false);
    if (prendreCagnotte(1))
        annonces->publier();
    else
        plateforme().afficher(QStringLiteral("Ce n'était pas une carte qui prenait"));
}

void Tprincipale::jouerOrdinateur(Seat s)
{
    if (s < 2 || s > nbSieges)
        return;
    // The hand is sorted by rank, so one pass over it lays the longest run
    // the seat can make; after a king it starts again from its lowest card.
    for (int k = 0; k < tailleMain; ++k) {
        if (!estJouable(etat.mains[s - 1][k], etat.dernierRang))
            continue;
        poserCarte(s, k);
        // Input that arrives while the computer seats play is dropped by the
        // pause, so no click made meanwhile lays a card afterwards.
        plateforme().pause(pauseApresCarte);
        prendreCagnotte(s);
        if (etat.dernierRang == rangRoi)
            k = -1;
    }
    finMancheOrdinateur(s);
    if (mancheFinie)
        return;
    finDeTour();
    if (s < nbSieges) {
        jouerOrdinateur(s + 1);
        return;
    }
    // The human's turn.
    legenderPasse();
    if (etat.dernierRang != rangRoi)
        Button4->setEnabled(true);
    annonces->aVous(etat.dernierRang);
    if (Son->isChecked())
        plateforme().bip();
}

bool Tprincipale::prendreCagnotte(Seat s)
{
    // Only the last card laid counts, whoever laid it.
    const int pot = cagnotteDeCarte(etat.carteJouee);
    if (s < 1 || s > nbSieges || pot < 0)
        return false;
    const std::int32_t montant = etat.cagnottes[pot];
    etat.tresor[s - 1] = montantPlus(etat.tresor[s - 1], montant);
    etat.cagnottes[pot] = 0;
    afficherTresors();
    afficherCagnotte(pot);
    annonces->cagnottePrise(s, pot, montant);
    return true;
}
