#pragma once
// A fresh game table for a test: the double installed, a new main window
// created (start values, best score read from the current folder) and shown.
#include <QTemporaryDir>
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

// Every card 1..52 exactly once among the hands (slots not 0), the talon and
// the cards already played (given). Empty string when all is well, otherwise
// what is wrong.
QString verifierCartes(const GameState &g);

// Sum of the four seats' money and the five pots, widened so that no value
// brought by a saved game can overflow it.
std::int64_t argentTotal(const GameState &g);
