#pragma once
// Colours and fonts shared by the game's windows.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QGroupBox;
class QLabel;
class QWidget;

namespace style {
inline const QColor vertFenetre{85, 170, 0};      // main window and buttons (#55AA00)
inline const QColor vert{0, 128, 0};              // panels, group boxes, result windows
inline const QColor vertMenu{149, 255, 149};      // main menu (#95FF95)
inline const QColor fondCagnotte{177, 127, 11};   // pot displays (#B17F0B)
inline const QColor citron{0, 255, 0};            // lime
inline const QColor marine{0, 0, 128};            // navy

// The interface font ("MS Sans Serif" where it exists) at a pixel height.
QFont police(int hauteurPx, bool italique = false);

// The weight of the family's installed upright styles nearest to poids
// (1..1000); poids itself when the family lists none.
QFont::Weight poidsInstalle(const QString &famille, int poids);

// Background and text colour of a widget, children included.
void colorer(QWidget *w, const QColor &fond, const QColor &texte);

// Top-left corner that centres a window of the given size on the screen area:
// (outer size - own size) div 2, truncating toward zero, so a screen smaller
// than the window gives a negative position.
QPoint centre(const QRect &ecran, const QSize &taille);

// A push button with the game's green face and white caption.
void boutonVert(QWidget *bouton);

// A group box of the game: green, white title in the interface font.
QGroupBox *boiteGroupe(const QString &titre, QWidget *parent);

// A label of the result windows: text in the given font and colour over
// what its parent shows.
QLabel *etiquette(QWidget *parent, const QFont &police, const QColor &couleur);
} // namespace style
