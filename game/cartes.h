#pragma once
// Cards, seats and the five pots.
#include <array>
#include <cstdint>
#include <QRect>
#include <QString>

// 0 = empty hand slot, 1..13 clubs, 14..26 diamonds, 27..39 hearts,
// 40..52 spades (ace to king), 53 = nothing on the play zone yet.
using CardNumber = std::int32_t;
// 1 = the human ("Vous"), 2 = "Moi", 3 = "KORBANIGUE", 4 = "Orvane BELTRUCQ".
using Seat = std::int32_t;

constexpr CardNumber aucuneCarte = 53;
// The king: after it any card may be laid, and a skip stops there.
constexpr std::int32_t rangRoi = 13;
constexpr int nbSieges = 4;
constexpr int tailleMain = 12;
constexpr int nbCagnottes = 5;

// Rank of a card: 1 ace .. 10, 11 jack, 12 queen, 13 king; 0 for an empty slot.
std::int32_t rang(CardNumber n);

// The seat's name as its boxes show it: "Vous", "Moi", "KORBANIGUE",
// "Orvane BELTRUCQ"; empty for a value that is no seat.
QString nomSiege(Seat s);

// The rank's name in French, capitalised: "As", "2" .. "10", "Valet",
// "Dame", "Roi"; empty for a value that is no rank.
QString nomRang(std::int32_t r);

// One pot of the board and the card that takes it: all that the rules, the
// board and the messages say of it.
struct Cagnotte {
    CardNumber carte;        // the card that takes it
    std::int32_t mise;       // stake per seat per deal
    const char *penalite;    // told to the human still holding the card when a round ends
    const char *libelle;     // what its display shows, for assistive technology (UTF-8)
    // On the board, in the board's own coordinates (it sits at 8, 8 on the
    // panel): the card as pictured (the centre one is smaller), and the
    // display laid over it. Each card stands against its display: above it,
    // below it, or, in the centre diamond, to its left.
    QRect rectCarte;
    QRect rectAfficheur;
};

// The five pots, in the order of GameState::cagnottes.
constexpr std::array<Cagnotte, nbCagnottes> tableCagnottes = {{
    {20, 50, "Vous aviez le 7 qui prend", "Cagnotte du 7 de carreau", QRect(150, 171, 54, 81),
     QRect(211, 196, 68, 30)},
    {23, 10, "Vous aviez le 10 qui prend", "Cagnotte du 10 de carreau", QRect(14, 264, 72, 108),
     QRect(16, 228, 68, 30)},
    {11, 20, "Vous aviez le valet qui prend", "Cagnotte du valet de trèfle", QRect(326, 262, 72, 108),
     QRect(328, 226, 68, 30)},
    {39, 40, "Vous aviez le roi qui prend", "Cagnotte du roi de cœur", QRect(14, 54, 72, 108),
     QRect(16, 168, 68, 30)},
    {51, 30, "Vous aviez la dame qui prend", "Cagnotte de la dame de pique", QRect(326, 54, 72, 108),
     QRect(328, 168, 68, 30)},
}};

// The five cards that take, in pot order.
constexpr std::array<CardNumber, nbCagnottes> cartesQuiPrennent = [] {
    std::array<CardNumber, nbCagnottes> cartes{};
    for (int p = 0; p < nbCagnottes; ++p)
        cartes[p] = tableCagnottes[p].carte;
    return cartes;
}();

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
