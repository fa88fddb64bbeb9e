#pragma once
// Cards, seats and the five pots.
#include <array>
#include <cstdint>
#include <QString>

// 0 = empty hand slot, 1..13 clubs, 14..26 diamonds, 27..39 hearts,
// 40..52 spades (ace to king), 53 = nothing on the play zone yet.
using CardNumber = std::int32_t;
// 1 = the human ("Vous"), 2 = "Moi", 3 = "KORBANIGUE", 4 = "Orvane BELTRUCQ".
using Seat = std::int32_t;

constexpr CardNumber aucuneCarte = 53;
constexpr int nbSieges = 4;
constexpr int tailleMain = 12;
constexpr int nbCagnottes = 5;

// Rank of a card: 1 ace .. 10, 11 jack, 12 queen, 13 king; 0 for an empty slot.
std::int32_t rang(CardNumber n);

// One pot of the board, in the order of GameState::cagnottes.
struct Cagnotte {
    CardNumber carte;      // the card that takes it
    std::int32_t mise;     // stake per seat per deal
};

// 7 of diamonds, 10 of diamonds, jack of clubs, king of hearts, queen of spades.
constexpr std::array<Cagnotte, nbCagnottes> tableCagnottes = {{
    {20, 50}, {23, 10}, {11, 20}, {39, 40}, {51, 30},
}};

constexpr std::array<CardNumber, nbCagnottes> cartesQuiPrennent = {20, 23, 11, 39, 51};

// The card's name in French, as a player says it: "As de pique",
// "7 de carreau", "Valet de trèfle", "Dame de cœur", "Roi de pique".
// Empty for 0 (an empty slot), 53 (nothing on the play zone) and any value
// that is not a card.
QString nomCarte(CardNumber n);

// Index of the pot that card n takes, or -1 when n takes none.
int cagnotteDeCarte(CardNumber n);

// A card may be laid when its rank follows the last rank played, or, after a
// king (or at the start of a run), when the slot is not empty. Used by the
// human's clicks and by the computer seats alike.
bool estJouable(CardNumber n, std::int32_t dernierRang);
