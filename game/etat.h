#pragma once
// The one game on the table: plain global data read and written by the rules,
// the two file formats and the windows.
#include "game/cartes.h"

struct GameState {
    std::int32_t talon[4];             // the four cards the deal left over
    std::int32_t tresor[nbSieges];     // money of seats 1..4 (index seat - 1)
    std::int32_t cartesRestantes[nbSieges];
    std::int32_t compteDonne[5];       // deal fill counters: four hands, then the talon
    CardNumber mains[nbSieges][tailleMain];
    Seat premierJoueur;                // seat leading the current deal
    Seat premierPrecedent;             // seat that led the previous deal
    std::int32_t cagnottes[nbCagnottes];
    std::int32_t dernierRang;          // 1..13; 13 lets any card open the next run
    CardNumber carteJouee;             // last card on the play zone, 53 when none
    std::int32_t nbPasses;             // turns ended since the last card, 0..3
    std::int32_t niveau;               // level kept with saved games: 0 Normal, 1 Difficile

    bool operator==(const GameState &) const = default;
};

extern GameState etat;
extern bool partieEnCours;   // a game was started or loaded and has not ended
extern bool mancheFinie;     // a seat emptied its hand; the computer seats stop

// Amounts are 32-bit signed, and a saved game may bring any value: these
// wrap as two's complement instead of overflowing, so every sum, payment,
// penalty and doubling has a defined result.
constexpr std::int32_t montantPlus(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr std::int32_t montantMoins(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr std::int32_t montantFois(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
