#pragma once
// Drawing helpers shared by the board, the splash and the icon.
#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <functional>
#include "game/cartes.h"

class QPainter;

namespace dessins {

// A card face in `cible` (any size), with a soft shadow under it, turned by
// `angle` degrees about the centre of `cible`.
void carteOmbree(QPainter &p, CardNumber n, const QRectF &cible, qreal angle = 0, qreal ombre = 1.0);

// The green blackbird, perched on a branch, drawn in a 100 x 100 box.
void merle(QPainter &p, const QRectF &boite);

// The game's emblem: the blackbird in a gilded roundel.
void medaillon(QPainter &p, const QPointF &centre, qreal rayon);

// Small deterministic noise in [0, 1), the same on every run.
double bruit(double x, double y, unsigned graine);

// Gold gradient along a line, for frames, rims and lettering.
QLinearGradient degradeOr(const QPointF &de, const QPointF &a);

// An opaque picture of `largeur` x `hauteur` logical pixels at `dpr`, on
// black, painted by `peindre` with smooth edges, text and scaling.
QImage tableau(int largeur, int hauteur, qreal dpr, const std::function<void(QPainter &)> &peindre);

} // namespace dessins
