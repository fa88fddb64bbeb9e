#pragma once
// The game's pictures: the 52 card faces (embedded sheet rasterised from the
// French-pattern deck at build time), the board, the splash and the icon,
// drawn at the device pixel ratio asked for so they stay sharp on any screen.
#include <QIcon>
#include <QPixmap>
#include "game/cartes.h"

constexpr int largeurCarte = 72;
constexpr int hauteurCarte = 108;

// Face of card n (1..52), 72 x 108 logical pixels, transparent outside the
// card's rounded outline; a null pixmap for any other n.
QPixmap imageCarte(CardNumber n, qreal dpr = 1.0);

// The 425 x 425 board: wooden table, ornamental band, centre diamond and
// the five cards that take, each beside its pot display.
QPixmap imagePlateau(qreal dpr = 1.0);

// The 514 x 250 splash picture.
QPixmap imageSplash(qreal dpr = 1.0);

// The program's icon (32 x 32 and larger sizes).
QIcon iconeJeu();
