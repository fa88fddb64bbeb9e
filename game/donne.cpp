// A new game and the deal of each round.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include "game/hasard.h"
#include "platform/plateforme.h"
#include "ui/Unit1.h"
#include "ui/annonce.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"

namespace {
constexpr std::int32_t argentDeDepart = 1500;
constexpr int placesTalon = 4;
constexpr int destinationTalon = 4;   // destinations 0..3 are the hands of seats 1..4

// What each seat pays at a deal: its stake in every pot, 150 in all.
constexpr std::int32_t miseParSiege()
{
    std::int32_t total = 0;
    for (const Cagnotte &c : tableCagnottes)
        total += c.mise;
    return total;
}
} // namespace

void Tprincipale::Button1Click()
{
    if (partieEnCours && !plateforme().confirmer(QStringLiteral("Voulez-vraiement mettre les compteurs à 1500")))
        return;
    nouvellePartie();
}

void Tprincipale::nouvellePartie()
{
    Difficile1->setEnabled(true);
    Normal1->setEnabled(true);
    for (std::int32_t &argent : etat.tresor)
        argent = argentDeDepart;
    commencerPartie();
    // The rotation of the first deal then gives the lead to the human.
    etat.premierJoueur = 4;
    etat.premierPrecedent = 4;
}

void Tprincipale::commencerPartie()
{
    partieTerminee = false;
    partieEnCours = true;
    for (std::int32_t &pot : etat.cagnottes)
        pot = 0;
    afficherTresors();
    for (int p = 0; p < nbCagnottes; ++p)
        afficherCagnotte(p);
    Button2->setEnabled(true);
    // The next step is the deal.
    Button2->setFocus(Qt::OtherFocusReason);
    // What the screen reader had still to say of the game before is
    // dropped: it tells of a table and money that are no longer there.
    annonces->oublier();
}

void Tprincipale::Button2Click()
{
    Sauvegarderunepartie1->setEnabled(false);
    Difficile1->setEnabled(false);
    Normal1->setEnabled(false);
    for (std::int32_t &compte : etat.compteDonne)
        compte = 0;
    etat.dernierRang = rangRoi;
    Button2->setEnabled(false);
    Button6->setEnabled(false);
    // Said before anything of this deal, once the reader has said where the
    // focus went.
    annonces->nouvelleDonne();
    // Every round starts clean, even after a new game or a load in the middle
    // of a round: no pass or claim left over from it, no turn ends counted.
    // Otherwise a pass while any card may open the run would count towards a
    // skip and could raise the rank past the king, where nothing is playable.
    Button4->setEnabled(false);
    Button4->setText(QStringLiteral(" "));
    Button5->setEnabled(false);
    etat.nbPasses = 0;

    for (std::int32_t &argent : etat.tresor)
        argent = montantMoins(argent, miseParSiege());
    afficherTresors();
    verifierFinPartie();
    if (partieTerminee)
        return;

    for (int s = 0; s < nbSieges; ++s) {
        etat.cartesRestantes[s] = tailleMain;
        affichagesCartes[s]->afficher(QStringLiteral("12"));
    }

    // The lead passes one seat on: after seat 4 (and after a new game) to
    // the human; a previous leader above 4 keeps the leader as it is. Values
    // outside 1..4 only come from a damaged saved game: a leader that then
    // names no seat gives the lead to the human.
    const Seat precedent = etat.premierPrecedent;
    std::int64_t suivant = etat.premierJoueur;
    if (precedent == 4)
        suivant = 1;
    else if (precedent < 4)
        suivant = suivant + 1;
    if (suivant < 1 || suivant > nbSieges)
        suivant = 1;
    etat.premierJoueur = static_cast<Seat>(suivant);
    etat.premierPrecedent = etat.premierJoueur;

    mancheFinie = false;

    for (int p = 0; p < nbCagnottes; ++p) {
        etat.cagnottes[p] = montantPlus(etat.cagnottes[p], nbSieges * tableCagnottes[p].mise);
        afficherCagnotte(p);
    }

    hasard.semer(static_cast<std::uint32_t>(plateforme().heureDuJourMs()));
    distribuerCartes();
    trierMains();
    effacerZoneDeJeu();
    for (ImageCarte *image : imagesMain) {
        image->setEnabled(true);
        image->show();
    }

    if (etat.premierJoueur == 1) {
        annonces->aVous(etat.dernierRang);
        if (Son->isChecked())
            plateforme().bip();
        return;
    }
    jouerOrdinateur(etat.premierJoueur);
}

void Tprincipale::distribuerCartes()
{
    // Cards go out in ascending number, each to a random destination that
    // still has room; the places of a destination fill in order.
    for (CardNumber n = 1; n <= 52; ++n) {
        for (;;) {
            const auto d = static_cast<int>(hasard.tirer(5));
            std::int32_t &compte = etat.compteDonne[d];
            if (d == destinationTalon) {
                if (compte < 0 || compte >= placesTalon)
                    continue;
                etat.talon[compte] = n;
            } else {
                if (compte < 0 || compte >= tailleMain)
                    continue;
                etat.mains[d][compte] = n;
            }
            ++compte;
            break;
        }
    }
}

void Tprincipale::trierMains()
{
    // A bubble sort that never swaps equal ranks: the deal left each hand in
    // ascending card number, so within a rank the suits stay in order (clubs,
    // diamonds, hearts, spades).
    for (int passe = 1; passe < tailleMain; ++passe)
        for (int j = 1; j <= tailleMain - passe; ++j)
            for (auto &main : etat.mains)
                if (rang(main[j]) < rang(main[j - 1]))
                    std::swap(main[j], main[j - 1]);
    for (int k = 0; k < tailleMain; ++k)
        imagesMain[k]->dessinerCarte(etat.mains[0][k]);
}
