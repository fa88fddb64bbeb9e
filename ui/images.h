#pragma once
// The game's pictures: the 52 card faces (embedded sheet rasterised from the
// French-pattern deck at build time), the board, the splash and the icon,
// drawn at the device pixel ratio asked for so they stay sharp on any screen.
#include <QIcon>
#include <QPixmap>
#include <QRect>
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

// The board and the splash are drawn when the program is built, at scales 1
// and 2, and embedded; these draw them now, at any scale.
QImage dessinerPlateau(qreal dpr);
QImage dessinerSplash(qreal dpr);

// The embedded picture of the board or splash at scale `dpr`, as a pixmap of
// that ratio; a null pixmap when none was prepared for that scale.
QPixmap imagePrete(const char *nom, qreal dpr);

// The font faces the board, the splash and the icon are drawn with (family,
// style as the font database names it). Where one is missing the font
// machinery stands in another face and the pictures change, so the build-time
// tool refuses to draw without them (fonts-dejavu-core, fonts-dejavu-extra).
struct FaceDessin {
    const char *famille;
    const char *style;
};
constexpr FaceDessin facesDessins[] = {
    {"DejaVu Sans", "Book"},                    // the suits inlaid in the board
    {"DejaVu Serif", "Book"},                   // the splash's version line
    {"DejaVu Serif", "Bold Italic"},            // the splash's title
    {"DejaVu Serif", "Bold"},                   // the small icons' initials
    {"DejaVu Serif", "Condensed Bold Italic"},  // the large icons' name
};

// The program's icon at 16, 32, 48, 64, 128 and 256 pixels.
constexpr int taillesIcone[] = {16, 32, 48, 64, 128, 256};
QIcon iconeJeu();

// One size of the icon, `cote` x `cote` pixels.
QPixmap imageIcone(int cote);

constexpr int largeurPlateau = 425;
constexpr int hauteurPlateau = 425;
constexpr int largeurSplash = 514;
constexpr int hauteurSplash = 250;
