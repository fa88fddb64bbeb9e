// The end of a round: the winner collects ten Euros per rank point left in
// the other hands, the end-of-round window shows it, and its closing charges
// the cards that take still held and checks for a seat without money.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include "game/etat.h"
#include "platform/plateforme.h"
#include "storage/meilleurscore.h"
#include "ui/Unit1.h"
#include "ui/imagecarte.h"
#include "ui/fin_partie.h"
#include "ui/jg.h"

namespace {

struct TextesGagnant {
    const char *titre;
    const char *ligne1;
    const char *prefixeArgent;
    const char *payeurs[3];   // the three losers' lines, in ascending seat order
};

// Indexed by winning seat - 1. The human's line starts with a lower-case
// "vous" when seat 3 or 4 wins: that is how the game words it.
const TextesGagnant textesGagnant[nbSieges] = {
    {"GAGNER !!!", "Vous avez fini le premier, vous avez gagné la manche", "Vous avez donc ",
     {"Je vous ai donné ", "KORBANIGUE vous a donné ", "Orvane BELTRUCQ vous a donné "}},
    {"Perdu !!!", "J'ai fini le premier, vous avez perdu la manche", "J'ai donc ",
     {"Vous m'avez donné ", "KORBANIGUE m'a donné ", "Orvane BELTRUCQ m'a donné "}},
    {"Perdu !!!", "KORBANIGUE a fini le premier, vous avez perdu la manche", "KORBANIGUE a donc ",
     {"vous lui avez donné ", "Je lui ai donné ", "Orvane BELTRUCQ lui a donné "}},
    {"Perdu !!!", "Orvane BELTRUCQ a fini le premier, vous avez perdu la manche",
     "Orvane BELTRUCQ a donc ",
     {"vous lui avez donné ", "Je lui ai donné ", "KORBANIGUE lui a donné "}},
};

// Who is last, by bankrupt seat - 1. "Je n'a plus d'argent" is the game's own
// wording and is kept as it is.
const char *const textesDernier[nbSieges] = {
    "Vous n'avez plus d'argent, vous êtes dernier.",
    "Je n'a plus d'argent, il est dernier.",
    "KORBANIGUE n'a plus d'argent, il est dernier.",
    "Orvane BELTRUCQ n'a plus d'argent, il est dernier.",
};

// Money line of each seat on the end-of-game window, and the fixed line of
// the bankrupt seat, which always reads 0.
const char *const prefixesArgent[nbSieges] = {"Vous avez ", "J'ai ", "KORBANIGUE a ", "Orvane BELTRUCQ a "};
const char *const lignesRuine[nbSieges] = {"Vous avez 0 Euro", "J'ai 0 Euro", "KORBANIGUE a 0 Euro",
                                           "Orvane BELTRUCQ a 0 Euro"};

QString texte(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

std::int32_t pointsDeMain(Seat s)
{
    std::int32_t points = 0;
    for (CardNumber n : etat.mains[s - 1])
        points = montantPlus(points, rang(n));
    return points;
}

// Charges seat s for a card that takes in the given slot; returns its pot,
// or -1 when the slot holds none. The amount goes into the pot, which doubles.
int chargerPenalite(Seat s, int k)
{
    const int pot = cagnotteDeCarte(etat.mains[s - 1][k]);
    if (pot < 0)
        return -1;
    etat.tresor[s - 1] = montantMoins(etat.tresor[s - 1], etat.cagnottes[pot]);
    etat.cagnottes[pot] = montantFois(etat.cagnottes[pot], 2);
    return pot;
}

} // namespace

void Tprincipale::finMancheVous()
{
    if (etat.cartesRestantes[0] != 0)
        return;
    // The human's last card is claimed without the button. "prenair" is the
    // game's own wording.
    if (prendreCagnotte(1))
        plateforme().afficher(QStringLiteral("Vous avez les points de la carte qui prenair"));
    reglerManche(1);
}

void Tprincipale::finMancheOrdinateur(Seat s)
{
    if (s < 2 || s > nbSieges || etat.cartesRestantes[s - 1] != 0)
        return;
    reglerManche(s);
}

void Tprincipale::reglerManche(Seat w)
{
    mancheFinie = true;

    Seat perdants[3];
    std::int32_t paiements[3];
    for (Seat s = 1, i = 0; s <= nbSieges; ++s)
        if (s != w) {
            perdants[i] = s;
            paiements[i] = montantFois(10, pointsDeMain(s));
            ++i;
        }

    finmanche = new Tfinmanche(this);
    const TextesGagnant &t = textesGagnant[w - 1];
    finmanche->setWindowTitle(texte(t.titre));
    finmanche->Label1->setText(texte(t.ligne1));
    QLabel *lignes[3] = {finmanche->Label2, finmanche->Label3, finmanche->Label4};
    for (int i = 0; i < 3; ++i)
        lignes[i]->setText(texte(t.payeurs[i]) + QString::number(paiements[i]));

    for (std::int32_t p : paiements)
        etat.tresor[w - 1] = montantPlus(etat.tresor[w - 1], p);
    finmanche->Label5->setText(texte(t.prefixeArgent) + QString::number(etat.tresor[w - 1]));
    for (int i = 0; i < 3; ++i)
        etat.tresor[perdants[i] - 1] = montantMoins(etat.tresor[perdants[i] - 1], paiements[i]);

    // The money displays keep their old amounts until the window closes.
    listerTalon();
    finmanche->show();
}

void Tprincipale::listerTalon()
{
    if (!finmanche)
        return;
    finmanche->ListBox1->clear();
    for (CardNumber n : etat.talon)
        finmanche->ListBox1->addItem(QString::number(n));
}

void Tprincipale::penalites()
{
    for (int k = 0; k < tailleMain; ++k) {
        if (const int pot = chargerPenalite(1, k); pot >= 0)
            plateforme().informer(texte(tableCagnottes[pot].penalite));
        for (Seat s = 2; s <= nbSieges; ++s)
            chargerPenalite(s, k);
    }
    for (int p = 0; p < nbCagnottes; ++p)
        afficherCagnotte(p);
}

void Tprincipale::fermerManche()
{
    Sauvegarderunepartie1->setEnabled(true);
    Button6->setEnabled(true);
    Button2->setEnabled(true);
    effacerZoneDeJeu();
    Button4->setEnabled(false);
    Button5->setEnabled(false);
    Button4->setText(QStringLiteral(" "));
    // The cards still held stay on screen but can no longer be clicked.
    for (ImageCarte *image : imagesMain)
        image->setEnabled(false);
    penalites();
    afficherTresors();
    activerTable(true);
    verifierFinPartie();
}

void Tprincipale::verifierFinPartie()
{
    etat.carteJouee = aucuneCarte;
    for (CardNumber &n : etat.mains[0])
        n = 0;

    Seat ruine = 0;
    for (Seat s = 1; s <= nbSieges && ruine == 0; ++s)
        if (etat.tresor[s - 1] < 1)
            ruine = s;
    if (ruine == 0)
        return;

    finpartie = new Tfinpartie(this);
    finpartie->Label1->setText(texte(textesDernier[ruine - 1]));

    bool record = false;
    if (ruine != 1) {
        // A best score that is not a 32-bit decimal number (no file at
        // start-up, or a file written by something else) counts as no best
        // score at all: the human is then asked for a name.
        bool nombre = false;
        const std::int32_t meilleur = meilleurScore.trimmed().toInt(&nombre);
        const std::int32_t score = montantFois(montantPlus(etat.niveau, 1), etat.tresor[0]);
        record = !nombre || meilleur < score;
    }
    finpartie->GroupBox2->setVisible(record);

    QLabel *lignes[nbSieges] = {finpartie->Label2, finpartie->Label3, finpartie->Label4, finpartie->Label5};
    for (Seat s = 1; s <= nbSieges; ++s) {
        if (s == ruine) {
            lignes[s - 1]->setText(texte(lignesRuine[s - 1]));
            continue;
        }
        // "J'a " when seat 3 is the one without money: the game's own wording.
        const QString prefixe = (s == 2 && ruine == 3) ? QStringLiteral("J'a ") : texte(prefixesArgent[s - 1]);
        lignes[s - 1]->setText(prefixe + QString::number(etat.tresor[s - 1]) + QStringLiteral(" Euros"));
    }

    partieEnCours = false;
    partieTerminee = true;
    Button2->setEnabled(false);
    finpartie->show();
}
