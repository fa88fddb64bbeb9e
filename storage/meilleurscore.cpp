// The best score: read once at start-up, shown on demand, rewritten by the
// reset and by the record made when the end-of-game window closes.
#include "storage/meilleurscore.h"

#include <QAction>
#include <QLineEdit>
#include "platform/plateforme.h"
#include "storage/fichiertexte.h"
#include "ui/Unit1.h"
#include "ui/fin_partie.h"

QString meilleurNom;
QString meilleurScore;

namespace {

const QString nomFichier = QStringLiteral("mv");

// Rewrites "mv" with the two values; the old file stays whole on failure.
int ecrireMeilleurScore()
{
    fichier::Ecriture f;
    if (const int e = f.ouvrir(nomFichier))
        return e;
    if (const int e = f.ecrireLigne(meilleurNom))
        return e;
    if (const int e = f.ecrireLigne(meilleurScore))
        return e;
    return f.fermer();
}

} // namespace

void Tprincipale::lireMeilleurScore()
{
    // A new table knows no best score until the file has been read.
    meilleurNom.clear();
    meilleurScore.clear();
    fichier::Lecture f;
    int e = f.ouvrir(nomFichier);
    if (e == 0)
        e = f.lireLigne(meilleurNom);
    if (e == 0)
        e = f.lireLigne(meilleurScore);
    if (e == 0)
        e = f.fermer();
    if (e != 0)
        signalerErreur(fichier::messageErreur(e));
}

void Tprincipale::Effacer1Click()
{
    meilleurNom = QStringLiteral("Personne");
    meilleurScore = QStringLiteral("0");
    if (const int e = ecrireMeilleurScore())
        signalerErreur(fichier::messageErreur(e));
}

void Tprincipale::Voir1Click()
{
    plateforme().afficher(meilleurNom + QStringLiteral(" a fini la partie avec : ") + meilleurScore
                          + QStringLiteral(" Euros"));
}

bool Tprincipale::enregistrerMeilleurScore()
{
    // The Difficile bonus doubles the money once per game: a record retried
    // after a failed write finds it already doubled.
    const bool dejaDouble = finpartie && finpartie->argentDouble;
    if (Difficile1->isChecked() && !dejaDouble) {
        // Money is 32-bit; a value brought by a saved game may not double
        // within it, so the product wraps as the 32-bit field does.
        etat.tresor[0] = montantFois(etat.tresor[0], 2);
        if (finpartie)
            finpartie->argentDouble = true;
    }
    meilleurNom = finpartie ? finpartie->Edit1->text() : QString();
    // The score is a 32-bit amount like the money it comes from, so that the
    // end-of-game check can always read it back.
    meilleurScore = QString::number(montantPlus(montantFois(etat.niveau, 1000), etat.tresor[0]));
    if (const int e = ecrireMeilleurScore()) {
        signalerErreur(fichier::messageErreur(e));
        return false;
    }
    return true;
}
