#pragma once
// A game driver for tests: plays whole games through the real main window,
// from "&Nouvelle partie" to the close of the end-of-game window, by clicks
// on the real widgets, choosing each move with a seeded generator. After
// every event it checks the invariants of the game and stops at the first
// one that fails.
#include <QByteArray>
#include <QPointer>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <functional>
#include "support/table.h"

class Pilote {
public:
    Pilote(Table &table, quint32 graine);

    // What a finished game looked like.
    struct Bilan {
        QString erreur;          // empty when every check held
        int donnes = 0;          // deals made, the one stopped by bankruptcy included
        int manches = 0;         // rounds settled
        int evenements = 0;
        bool record = false;     // the end-of-game window recorded a best score
        bool ruineALaDonne = false;
        bool difficile = false;  // played with "Difficile" checked
    };

    // Plays one game. Ends when the end-of-game window has closed, at the
    // first failed check, or after evenementsMax events (reported as an error).
    Bilan jouerPartie();

    // The checks run after every event; empty when all hold.
    QString verifier();

    int evenementsMax = 50000;
    // Chance, in percent, to play a "Difficile" game.
    int chanceDifficile = 30;
    // Called after every event and its checks (for example to log, or to add
    // checks of one's own); its non-empty result stops the game as an error.
    std::function<QString(Pilote &, const QString &evenement)> aChaqueEvenement;

    Table &table;
    QRandomGenerator hasardPilote;
    QStringList journal;         // the last events, newest last

private:
    QString evenement(const QString &nom, const std::function<void()> &action);
    void noter(const QString &nom);
    QString tourDuJoueur();
    QString fermerFinManche();
    QString fermerFinPartie();
    QString verifierCartes();
    QString verifierAffichages();
    QString verifierReglement();
    QByteArray lireFichierScore() const;

    Tprincipale *f;
    DoublePlateforme *d;
    Bilan bilan;
    std::int64_t totalAttendu = 6000;
    // Cards seen laid in this deal, and the human's cards that the end of
    // the round swept off the table.
    bool jouees[53] = {};
    bool retirees[53] = {};
    CardNumber mainsAvant[nbSieges][tailleMain] = {};
    bool donneEnCours = false;   // hands hold a deal
    bool mainVideeParFin = false;   // the human's slots were emptied at a close
    QByteArray fichierScore;     // the best-score file as it must be
    bool recordEnCours = false;
    QPointer<QObject> mancheVerifiee;   // the end-of-round window already checked  // the event under way may write the best score
};
