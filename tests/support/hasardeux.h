#pragma once
// A random player for tests: at each moment it picks, with a seeded
// generator, any of the things a player can do through the real main window
// (click any shown hand card, playable or not, claim, pass, deal, new game
// answered either way, save and load between rounds with real files, the
// level and best-score menus, the quit question answered No, closing the
// result windows either way) and checks the game's invariants after every
// event. Unlike Pilote, which plays sensible games, it wanders.
#include <QHash>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include "storage/sauvegarde.h"
#include "support/table.h"

class Hasardeux {
public:
    Hasardeux(Table &table, quint32 graine);

    struct Bilan {
        QString erreur;        // empty when every check held
        int evenements = 0;
        int donnes = 0;
        int abandons = 0;      // new games started over a game in progress
    };

    // Plays until the end-of-game window of a game has closed, at the first
    // failed check, or after evenementsMax events (an error).
    Bilan jouerPartie();

    // The checks run after every event; empty when all hold.
    QString verifier();

    int evenementsMax = 20000;
    Table &table;
    QRandomGenerator hasardJoueur;
    QStringList journal;               // the last events, newest last
    QHash<QString, int> compteurs;     // how often each kind of event ran

private:
    QString evenement(const QString &nom, const std::function<void()> &action);
    QString choisirEtJouer();
    QString cliquerCarte(int k);
    QString nouvellePartie();
    QString sauvegarder();
    QString charger();
    QString menuNiveau();
    QString quitterNon(bool parMenu);
    QString fermerFinManche();
    QString fermerFinPartie();
    QString verifierCartes();
    QString verifierBoutons();

    Tprincipale *f;
    DoublePlateforme *d;
    Bilan bilan;
    std::int64_t totalAttendu = 0;
    // The model of the controls, moved by the events as the game moves them.
    bool donneFaite = false;           // a deal was made on this table
    bool enManche = false;             // from a deal to the close of its round
    bool b2 = false, b5 = false, b6 = false, niveaux = true;
    bool sorties[53] = {};             // cards laid in this round
    bool presentes[53] = {};           // cards in the hands or talon after the last event
    // Files saved so far in this table's folder, with what they must hold.
    QHash<QString, sauvegarde::Partie> sauvees;
};
