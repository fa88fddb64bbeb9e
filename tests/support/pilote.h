#pragma once
// A game driver for tests: plays whole games through the real main window by
// clicks and keys on the real widgets, choosing each move with a seeded
// generator, and checks the invariants of the game after every event,
// stopping at the first one that fails.
//
// It plays in one of two ways. Sensibly, a game goes from the "Niveau" menu
// and "&Nouvelle partie" to the close of the end-of-game window, mostly with
// playable cards. Wandering, it picks at each moment any of the things a
// player can do (click any shown hand card, playable or not, claim, pass,
// deal, new game answered either way, save and load with real files, the
// level and best-score menus, the quit question answered No, closing the
// result windows either way) until an end-of-game window has closed.
#include <QHash>
#include <QPointer>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <functional>
#include "storage/sauvegarde.h"
#include "support/table.h"

class Pilote {
public:
    enum Maniere { Sensee, Errante };
    Pilote(Table &table, quint32 graine, Maniere maniere = Sensee);

    // What a finished game looked like.
    struct Bilan {
        QString erreur;          // empty when every check held
        int evenements = 0;
        int donnes = 0;          // deals made, those stopped by bankruptcy included
        int manches = 0;         // rounds settled
        int abandons = 0;        // new games started over a game in progress
        bool record = false;     // the end-of-game window recorded a best score
        bool ruineALaDonne = false;
        bool difficile = false;  // a sensible game played with "Difficile" checked
    };

    // Plays one game. Ends when an end-of-game window has closed, at the
    // first failed check, or after evenementsMax events (an error).
    Bilan jouerPartie();

    // The checks run after every event; empty when all hold.
    QString verifier();

    const Maniere maniere;
    int evenementsMax = 50000;
    // Chance, in percent, that a sensible game is played at "Difficile".
    int chanceDifficile = 30;
    // Called after every event and its checks (for example to log, or to add
    // checks of one's own); its non-empty result stops the game as an error.
    std::function<QString(Pilote &, const QString &evenement)> aChaqueEvenement;

    Table &table;
    QRandomGenerator hasardPilote;
    QStringList journal;               // the last events, newest last
    QHash<QString, int> compteurs;     // how often each kind of event ran (its first word)

private:
    QString evenement(const QString &nom, const std::function<void()> &action);
    QString coupSense();
    QString coupErrant();
    QString cliquerCarte(int k);
    QString reclamer();
    QString passer();
    QString distribuer();
    QString nouvellePartie();
    QString sauvegarder();
    QString charger();
    QString voir();
    QString effacer();
    QString menuNiveau(bool difficile);
    QString quitterNon(bool parMenu);
    QString fermerFinManche();
    QString fermerFinPartie();
    QString verifierCartes();
    QString carteJoueeSortie() const;   // the last card laid is out of its hand
    QString verifierAffichages();
    QString verifierReglement();
    QString verifierBoutons();

    Tprincipale *f;
    DoublePlateforme *d;
    Bilan bilan;
    std::int64_t totalAttendu = 0;
    // The cards: those laid in this deal, and the human's that a close swept
    // off the table; the hands before the event under way.
    bool jouees[53] = {};
    bool retirees[53] = {};
    CardNumber mainsAvant[nbSieges][tailleMain] = {};
    bool donneFaite = false;           // the hands hold a deal
    bool mainVidee = false;            // the human's slots were emptied without play
    // The model of the controls, moved by the events as the game moves them.
    bool enManche = false;             // from a deal to the close of its round
    bool b2 = false, b5 = false, b6 = false, niveaux = true;
    QByteArray fichierScore;           // the best-score file as it must be
    QPointer<QObject> mancheVerifiee;  // the end-of-round window already checked
    // Files saved so far in this table's folder, with what they must hold.
    QHash<QString, sauvegarde::Partie> sauvees;
};
