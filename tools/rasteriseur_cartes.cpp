// Renders the 52 card faces of a French-pattern SVG deck into the sheet the
// game embeds: 576 x 756 pixels at 1x (72 x 108 per face, 8 per row, 7 rows,
// entry e at column e % 8 and row e / 8, the last four cells blank), the same
// at 2x, and a one-bit mask of each sheet.
//
// It knows the decks of the table below, and no other: a deck of another
// name, or of that name but other drawings (the cards of another size), is
// refused. The build takes the first of them that the system has.
//
// The deck's cards are a little wider than our 2:3 cells. Each face is scaled
// uniformly to the cell's width and centred; the card's own paper is then
// extended to the full cell height under a new rounded outline, so nothing
// is stretched. The deck marks its aces "1": the "1" of both corner indices is
// covered with the card's paper and an "A" drawn in the same serif style.
//
// Mask convention (as for a QBitmap): black = the card, white = outside it.
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <cmath>
#include <cstdio>
#include "ui/imagebrute.h"

namespace {

const char *const couleurs[] = {"club", "diamond", "heart", "spade"};
const char *const figures[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "jack", "queen", "king"};
// A deck this program can read: the same element names ("club_1" to
// "spade_king"), in deck units.
struct Jeu {
    const char *nom;          // the file's name, without ".svgz"
    QSizeF carte;             // the size of every card
    QColor papier;            // the card's colour
    double rayon;             // the corner radius of its outline
    double trait;             // the width of its outline
    // The "1" of the top-left index of each ace, by name where the deck names
    // it, else its box from the card's top-left corner; the bottom-right one
    // is the same turned half a turn about the card's centre.
    const char *indicesAs[4];
    QRectF unAs;
};

// In order of preference; the build picks the first one present (each line
// opens with the name, which CMake reads from here).
const Jeu jeux[] = {
    // SVG-cards 2.0.1 with Tony 52's and Vincent Bermel's changes, in
    // gnome-cards-data up to 3.22.30
    {"ancient_french", {94.192, 132.822}, QColor(0xf5, 0xf3, 0xf0), 6.35, 0.794,
     {"path170358", "path117944", "path107828", "path107698"}, {}},
    // the same drawings in a lighter file, on white paper, from 3.22.31 on
    // (its index glyphs are shared, so the aces' "1" have no name)
    {"paris", {94.192, 132.820}, Qt::white, 6.0, 0.8,
     {}, {5.95, 6.55, 5.8, 13.5}},
};

const QColor encreNoire(0x2b, 0x2b, 0x2b);
const QColor encreRouge(0xe8, 0x36, 0x30);

// A high-contrast serif capital A, as in the deck's indices: hairline left
// stroke and crossbar, heavy right stroke, flat hairline serifs. Drawn in a
// 100-unit cap height, origin at the top-left of its box, 80 units wide.
QPainterPath lettreA()
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    // heavy right stroke, from the apex to the right foot
    p.addPolygon(QPolygonF({{40, 0}, {55, 0}, {77, 97}, {59, 97}}));
    // hairline left stroke
    p.addPolygon(QPolygonF({{40, 0}, {46.5, 0}, {18, 97}, {11.5, 97}}));
    // crossbar
    p.addPolygon(QPolygonF({{27, 60}, {63, 60}, {64.8, 67}, {25.2, 67}}));
    // foot serifs, each with a small bracket: from `gauche` to `droite` on
    // the base line, rising to `haut` where the stroke (`x1` to `x2`) meets it
    auto pied = [&p](double gauche, double c1, double x1, double haut, double x2, double c2, double droite) {
        QPainterPath f;
        f.moveTo(gauche, 100);
        f.lineTo(gauche, 97.5);
        f.quadTo(c1, 97, x1, haut);
        f.lineTo(x2, haut);
        f.quadTo(c2, 97, droite, 97.5);
        f.lineTo(droite, 100);
        f.closeSubpath();
        p.addPath(f);
    };
    pied(1, 9, 12, 90, 17, 19, 28);
    pied(50, 57, 58, 91, 75, 77, 80);
    // a short overhang at the apex, as serif capitals have
    p.addPolygon(QPolygonF({{37, 0}, {46, 0}, {45, 3}, {38.5, 3}}));
    return p.simplified();
}

// Replaces the "1" whose box (in cell pixels) is `un` by an A of the same
// height, in `encre`; `retourne` turns it half a turn about the box centre.
void dessinerA(QPainter &p, const QRectF &un, const QColor &papier, const QColor &encre, bool retourne)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(papier);
    p.drawRect(un.adjusted(-0.6, -0.6, 0.6, 0.6));
    const double h = un.height();
    const double w = h * 0.80;
    // The V and the R of the deck start a touch left of the 1; so does the A.
    QTransform t;
    if (retourne) {
        t.translate(un.right() + h * 0.03, un.bottom());
        t.rotate(180);
    } else {
        t.translate(un.left() - h * 0.03, un.top());
    }
    t.scale(w / 80.0, h / 100.0);
    p.setBrush(encre);
    p.drawPath(t.map(lettreA()));
    p.restore();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s deck.svgz output-folder\n", argv[0]);
        return 2;
    }
    const QString fichier = QString::fromLocal8Bit(argv[1]);
    const Jeu *jeu = nullptr;
    for (const Jeu &j : jeux)
        if (QFileInfo(fichier).fileName() == QLatin1String(j.nom) + ".svgz")
            jeu = &j;
    if (!jeu) {
        std::fprintf(stderr, "%s is not a deck this program knows (see tools/rasteriseur_cartes.cpp)\n", argv[1]);
        return 1;
    }
    QSvgRenderer deck(fichier);
    if (!deck.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QColor papier = jeu->papier;
    const QString dossier = QString::fromLocal8Bit(argv[2]);
    for (int echelle = 1; echelle <= 2; ++echelle) {
        const double lc = 72.0 * echelle, hc = 108.0 * echelle;
        QImage feuille(576 * echelle, 756 * echelle, QImage::Format_RGB32);
        feuille.fill(Qt::white);
        QImage masque(feuille.size(), QImage::Format_Grayscale8);
        masque.fill(0);
        QPainter p(&feuille);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        QPainter pm(&masque);
        pm.setRenderHint(QPainter::Antialiasing);
        for (int e = 0; e < 52; ++e) {
            const QString id = QStringLiteral("%1_%2").arg(couleurs[e / 13], figures[e % 13]);
            const QRectF bornes = deck.transformForElement(id).mapRect(deck.boundsOnElement(id));
            if (!deck.elementExists(id) || bornes.width() <= 0 || bornes.height() <= 0) {
                std::fprintf(stderr, "the deck has no card %s\n", qPrintable(id));
                return 1;
            }
            if (std::abs(bornes.width() - jeu->carte.width()) > 0.01
                || std::abs(bornes.height() - jeu->carte.height()) > 0.01) {
                std::fprintf(stderr, "%s: the card %s is %g x %g, not %g x %g: not the drawings this program knows\n",
                             argv[1], qPrintable(id), bornes.width(), bornes.height(),
                             jeu->carte.width(), jeu->carte.height());
                return 1;
            }
            const QRectF cellule((e % 8) * lc, (e / 8) * hc, lc, hc);
            const double s = lc / bornes.width();               // uniform scale
            const double hauteur = bornes.height() * s;
            const QRectF face(cellule.left(), cellule.top() + (hc - hauteur) / 2, lc, hauteur);
            // deck units -> sheet pixels
            QTransform versCellule;
            versCellule.translate(face.left(), face.top());
            versCellule.scale(s, s);
            versCellule.translate(-bornes.left(), -bornes.top());

            const double trait = echelle == 1 ? 1.0 : 1.5;
            const double rayon = jeu->rayon * s;
            const QRectF contour = cellule.adjusted(trait / 2, trait / 2, -trait / 2, -trait / 2);
            // the paper over the whole cell
            p.setPen(Qt::NoPen);
            p.setBrush(papier);
            p.drawRoundedRect(contour, rayon, rayon);
            // the deck's face, then its own outline painted out
            deck.render(&p, id, face);
            const double traitDeck = jeu->trait;
            const QRectF bordDeck = versCellule.mapRect(bornes.adjusted(traitDeck / 2, traitDeck / 2,
                                                                        -traitDeck / 2, -traitDeck / 2));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(papier, traitDeck * s * 2.2));
            p.drawRoundedRect(bordDeck, rayon, rayon);
            // aces: "A" in place of "1", in both corners
            if (e % 13 == 0) {
                const char *un = jeu->indicesAs[e / 13];
                const QRectF b = versCellule.mapRect(
                    un ? deck.transformForElement(un).mapRect(deck.boundsOnElement(un))
                       : jeu->unAs.translated(bornes.topLeft()));
                const QPointF centre = versCellule.map(bornes.center());
                const QRectF bas(2 * centre.x() - b.right(), 2 * centre.y() - b.bottom(), b.width(), b.height());
                const QColor encre = (e / 13 == 1 || e / 13 == 2) ? encreRouge : encreNoire;
                dessinerA(p, b, papier, encre, false);
                dessinerA(p, bas, papier, encre, true);
            }
            // the new outline at the edge of the cell
            p.setPen(QPen(encreNoire, trait));
            p.drawRoundedRect(contour, rayon, rayon);
            // mask: the card's rounded outline, outline stroke included
            pm.setPen(Qt::NoPen);
            pm.setBrush(Qt::white);
            pm.drawRoundedRect(cellule, rayon + trait / 2, rayon + trait / 2);
        }
        p.end();
        pm.end();
        // One bit of coverage per pixel: a pixel belongs to the card when at
        // least half of it lies inside the outline; the rest is transparent.
        QImage faces = feuille.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < masque.height(); ++y) {
            const uchar *ligne = masque.constScanLine(y);
            QRgb *px = reinterpret_cast<QRgb *>(faces.scanLine(y));
            for (int x = 0; x < masque.width(); ++x)
                if (ligne[x] < 128)
                    px[x] = qRgba(0, 0, 0, 0);
        }
        const QString suffixe = echelle == 1 ? QString() : QStringLiteral("@2x");
        if (!imagebrute::ecrire(faces.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                dossier + "/cartes" + suffixe + ".argb")) {
            std::fprintf(stderr, "cannot write into %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
