#pragma once
// Saved games: seven decimal integers, one per line, CR LF line ends: the
// money of seats 1 to 4, the leader of the current deal, the leader of the
// previous deal and the level (0 Normal, 1 Difficile). The pots, the hands
// and the round in play are not kept: a loaded game goes on with a new deal.
#include <QString>
#include <cstdint>
#include "game/etat.h"

namespace sauvegarde {

inline constexpr char extension[] = ".svgMv";

// What a saved game holds, in the order of its lines.
struct Partie {
    std::int32_t tresor[nbSieges] = {};
    Seat premierJoueur = 0;
    Seat premierPrecedent = 0;
    std::int32_t niveau = 0;

    bool operator==(const Partie &) const = default;
};

// The name a save is written under: the name as chosen when its extension
// (from the last "." after the last "/") is ".svgMv" in any case, otherwise
// the name with ".svgMv" appended.
QString nomDeFichier(const QString &nomChoisi);

// The seven values of the game, and the game with them put back. Only the
// fields kept in a save are read or written.
Partie depuisEtat(const GameState &g);
void versEtat(const Partie &p, GameState &g);

// Writes the seven lines. The file is replaced only once the new one is
// complete, so a failure leaves any previous file as it was. Returns 0 or
// the error code of the first step that failed (see fichier::messageErreur).
int ecrire(const QString &chemin, const Partie &p);

// Reads the seven values; a value past the end of the file reads 0. Returns 0
// or the error code of the first step that failed, in which case p is left
// as it was.
int lire(const QString &chemin, Partie &p);

} // namespace sauvegarde
