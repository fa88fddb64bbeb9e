#pragma once
// A fresh game table for a test: the double installed, a new main window
// created (start values, best score read from the current folder) and shown.
// The offscreen platform's warnings of what it cannot do, given at every
// window and menu shown, are dropped: hundreds of games would bury any real
// message under them.
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include "support/double_plateforme.h"
#include "ui/Unit1.h"

struct Table {
    // Runs in a new empty temporary folder (made the working directory) unless
    // dossier is given. The main window is shown unless montrer is false.
    explicit Table(bool montrer = true, const QString &dossier = QString());
    ~Table();

    DoublePlateforme *plateforme;
    std::unique_ptr<QTemporaryDir> temporaire;
    QString dossier;
    std::unique_ptr<Tprincipale> fenetre;
    QString ancienDossier;
};

// Lets the windows that closed be deleted.
void laisserDetruire();

// A table for each test function of a test class: its init() calls
// poserTable(), its cleanup() leverTable().
struct SurTable {
    std::unique_ptr<Table> table;
    Tprincipale *f = nullptr;
    DoublePlateforme *d = nullptr;
    void poserTable();   // a new table, shown; what its start-up showed is forgotten
    void leverTable();
};

// A game in progress in which every hand is empty but the human's, which
// holds the given cards: each seat has 1000, the talon is 5, 18, 33, 47.
// Seat 2's end-of-round check then finds the round won.
void viderLesMains(std::initializer_list<CardNumber> mainDuJoueur);

// Every card 1..52 exactly once among the hands (slots not 0), the talon and
// the cards already played (given). Empty string when all is well, otherwise
// what is wrong.
QString verifierCartes(const GameState &g);

// A _data() table of one bool column and two rows, in this order.
void deuxLignes(const char *colonne, const char *nom1, bool valeur1, const char *nom2, bool valeur2);

// Sum of the four seats' money and the five pots, widened so that no value
// brought by a saved game can overflow it.
std::int64_t argentTotal(const GameState &g);
