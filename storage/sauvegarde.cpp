// The saved-game commands: save between two rounds, load at any time.
#include "storage/sauvegarde.h"

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include "platform/plateforme.h"
#include "storage/fichiertexte.h"
#include "ui/Unit1.h"

namespace sauvegarde {

QString nomDeFichier(const QString &nomChoisi)
{
    const qsizetype point = nomChoisi.lastIndexOf(QLatin1Char('.'));
    const qsizetype barre = nomChoisi.lastIndexOf(QLatin1Char('/'));
    if (point > barre
        && QStringView(nomChoisi).mid(point).compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
        return nomChoisi;
    return nomChoisi + QLatin1String(extension);
}

Partie depuisEtat(const GameState &g)
{
    Partie p;
    for (int s = 0; s < nbSieges; ++s)
        p.tresor[s] = g.tresor[s];
    p.premierJoueur = g.premierJoueur;
    p.premierPrecedent = g.premierPrecedent;
    p.niveau = g.niveau;
    return p;
}

void versEtat(const Partie &p, GameState &g)
{
    for (int s = 0; s < nbSieges; ++s)
        g.tresor[s] = p.tresor[s];
    g.premierJoueur = p.premierJoueur;
    g.premierPrecedent = p.premierPrecedent;
    g.niveau = p.niveau;
}

int ecrire(const QString &chemin, const Partie &p)
{
    const std::int32_t valeurs[] = {p.tresor[0], p.tresor[1], p.tresor[2], p.tresor[3],
                                    p.premierJoueur, p.premierPrecedent, p.niveau};
    fichier::Ecriture f;
    if (int code = f.ouvrir(chemin))
        return code;
    for (std::int32_t v : valeurs)
        if (int code = f.ecrireLigne(QString::number(v)))
            return code;      // the unfinished file is dropped with f
    return f.fermer();
}

int lire(const QString &chemin, Partie &p)
{
    // Everything is read before anything is handed back, so that a file that
    // fails half-way cannot leave a game made of old and new values.
    Partie lu;
    std::int32_t *const champs[] = {&lu.tresor[0], &lu.tresor[1], &lu.tresor[2], &lu.tresor[3],
                                    &lu.premierJoueur, &lu.premierPrecedent, &lu.niveau};
    fichier::Lecture f;
    if (int code = f.ouvrir(chemin))
        return code;
    for (std::int32_t *champ : champs)
        if (int code = f.lireEntier(*champ))
            return code;
    if (int code = f.fermer())
        return code;
    p = lu;
    return 0;
}

} // namespace sauvegarde

void Tprincipale::Button6Click()
{
    // The level kept is the one checked now, even if the player then cancels.
    if (Normal1->isChecked())
        etat.niveau = 0;
    else if (Difficile1->isChecked())
        etat.niveau = 1;

    const QString choisi = plateforme().choisirFichier(dialogueSauver());
    if (choisi.isEmpty())
        return;
    if (int code = sauvegarde::ecrire(sauvegarde::nomDeFichier(choisi), sauvegarde::depuisEtat(etat)))
        signalerErreur(fichier::messageErreur(code));
}

void Tprincipale::Button3Click()
{
    const QString choisi = plateforme().choisirFichier(dialogueOuvrir());
    if (choisi.isEmpty())
        return;
    Difficile1->setEnabled(true);
    Normal1->setEnabled(true);

    sauvegarde::Partie lu;
    if (int code = sauvegarde::lire(choisi, lu)) {
        signalerErreur(fichier::messageErreur(code));
        return;
    }
    sauvegarde::versEtat(lu, etat);

    if (etat.niveau == 0 || etat.niveau == 1)
        cocherNiveau(etat.niveau == 1);
    // A loaded game is ready for a new deal, even after a game that had ended.
    commencerPartie();
    GroupBox6->setVisible(Normal1->isChecked());
}
