// The board: a marquetry table in four quarters of oak, parted by a walnut
// band with maple lozenges, a gilded diamond of green baize in the centre, and
// the five cards that take, each beside the place of its pot display.
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <cmath>
#include "ui/dessins_outils.h"
#include "ui/images.h"

namespace {

constexpr qreal milieu = largeurPlateau / 2.0;   // centre of the board
constexpr qreal bord = 9;                        // width of the outer rim
constexpr qreal demiBande = 8;                   // half width of the band
constexpr qreal rayonCadre = 126;                // diamond, outer half-diagonal
constexpr qreal rayonTapis = 114;                // diamond, inner half-diagonal

struct Essence {
    QColor clair, fonce;
};
const Essence chene{QColor(204, 148, 86), QColor(126, 76, 36)};
const Essence noyer{QColor(104, 62, 34), QColor(48, 26, 14)};

double fraction(double x) { return x - std::floor(x); }

// A plank of wood covering the logical rectangle `zone` of the board, at
// device resolution: growth rings wandering along the grain, fine fibres
// across them and a slow change of tone. The grain depends only on the place
// on the board, so separate pieces of one plank join without a seam, and only
// the pixels that show are computed.
QImage bois(const QRectF &zone, qreal dpr, bool horizontal, unsigned graine, const Essence &essence, double anneau = 9.0)
{
    const QRect pixels(qFloor(zone.left() * dpr), qFloor(zone.top() * dpr),
                       qCeil(zone.right() * dpr) - qFloor(zone.left() * dpr),
                       qCeil(zone.bottom() * dpr) - qFloor(zone.top() * dpr));
    QImage img(pixels.size(), QImage::Format_RGB32);
    const int clair[3] = {essence.clair.red(), essence.clair.green(), essence.clair.blue()};
    const int fonce[3] = {essence.fonce.red(), essence.fonce.green(), essence.fonce.blue()};
    for (int y = 0; y < pixels.height(); ++y) {
        QRgb *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double ly = (pixels.top() + y) / dpr;
        for (int x = 0; x < pixels.width(); ++x) {
            const double lx = (pixels.left() + x) / dpr;
            const double u = horizontal ? lx : ly;   // along the grain
            const double v = horizontal ? ly : lx;   // across it
            const double derive = (dessins::bruit(u * 0.0045, v * 0.025, graine) - 0.5) * 30
                                  + (dessins::bruit(u * 0.02, v * 0.07, graine + 1) - 0.5) * 5;
            const double t = fraction((v + derive) / anneau);
            const double t2 = t * t;
            const double cerne = t2 * t2 * 0.9 + (t < 0.08 ? (0.08 - t) * 6 : 0.0);
            const double fibre = dessins::bruit(u * 0.05, v * 1.4, graine + 2) * 0.7 + dessins::bruit(u * 0.2, v * 3.1, graine + 4) * 0.3;
            const double ton = dessins::bruit(u * 0.008, v * 0.02, graine + 3);
            const double s = qBound(0.0, 0.45 * cerne + 0.22 * fibre + 0.33 * ton, 1.0);
            auto mix = [s](int a, int b) { return int(a + (b - a) * s); };
            ligne[x] = qRgb(mix(clair[0], fonce[0]), mix(clair[1], fonce[1]), mix(clair[2], fonce[2]));
        }
    }
    img.setDevicePixelRatio(dpr);
    return img;
}

// Draws the plank over `zone`, pixel for pixel.
void poserBois(QPainter &p, const QRectF &zone, qreal dpr, bool horizontal, unsigned graine, const Essence &essence,
               double anneau = 9.0)
{
    const QImage img = bois(zone, dpr, horizontal, graine, essence, anneau);
    p.drawImage(QPointF(qFloor(zone.left() * dpr) / dpr, qFloor(zone.top() * dpr) / dpr), img);
}

QPainterPath losange(const QPointF &c, qreal rx, qreal ry)
{
    QPainterPath p;
    p.moveTo(c.x(), c.y() - ry);
    p.lineTo(c.x() + rx, c.y());
    p.lineTo(c.x(), c.y() + ry);
    p.lineTo(c.x() - rx, c.y());
    p.closeSubpath();
    return p;
}

void quartiers(QPainter &p, qreal dpr)
{
    const QRectF q[4] = {{0, 0, milieu, milieu}, {milieu, 0, milieu, milieu},
                         {0, milieu, milieu, milieu}, {milieu, milieu, milieu, milieu}};
    for (int i = 0; i < 4; ++i) {
        // upper-left and lower-right run across, the two others down: parquet
        const bool travers = i == 0 || i == 3;
        poserBois(p, q[i], dpr, travers, travers ? 11 : 23, chene);
    }
    // varnish: light from the upper left, the edges a little darker
    QRadialGradient lumiere(QPointF(120, 90), 420);
    lumiere.setColorAt(0, QColor(255, 240, 210, 60));
    lumiere.setColorAt(0.5, QColor(255, 240, 210, 0));
    lumiere.setColorAt(1, QColor(40, 15, 0, 90));
    p.fillRect(QRectF(0, 0, largeurPlateau, hauteurPlateau), lumiere);
}

void filetOr(QPainter &p, const QRectF &r, qreal epaisseur)
{
    p.setPen(QPen(QBrush(dessins::degradeOr(r.topLeft(), r.bottomRight())), epaisseur));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void rebord(QPainter &p, qreal dpr)
{
    QPainterPath cadre;
    cadre.addRect(0, 0, largeurPlateau, hauteurPlateau);
    cadre.addRect(bord, bord, largeurPlateau - 2 * bord, hauteurPlateau - 2 * bord);
    p.save();
    p.setClipPath(cadre);
    // one plank, laid as four strips along the rim
    const QRectF bandes[4] = {{0, 0, largeurPlateau, bord}, {0, hauteurPlateau - bord, largeurPlateau, bord},
                              {0, bord, bord, hauteurPlateau - 2 * bord},
                              {largeurPlateau - bord, bord, bord, hauteurPlateau - 2 * bord}};
    for (const QRectF &b : bandes)
        poserBois(p, b, dpr, true, 37, noyer, 6.0);
    p.restore();
    filetOr(p, QRectF(bord - 1.5, bord - 1.5, largeurPlateau - 2 * bord + 3, hauteurPlateau - 2 * bord + 3), 1.6);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawRect(QRectF(bord + 0.5, bord + 0.5, largeurPlateau - 2 * bord - 1, hauteurPlateau - 2 * bord - 1));
}

QPainterPath formeLosangeCentral(qreal r) { return losange(QPointF(milieu, milieu), r, r); }

void bande(QPainter &p, qreal dpr)
{
    const QRectF h(bord, milieu - demiBande, largeurPlateau - 2 * bord, 2 * demiBande);
    const QRectF v(milieu - demiBande, bord, 2 * demiBande, hauteurPlateau - 2 * bord);
    QPainterPath hors;
    hors.addRect(0, 0, largeurPlateau, hauteurPlateau);
    hors = hors.subtracted(formeLosangeCentral(rayonCadre));
    p.save();
    p.setClipPath(hors);
    poserBois(p, h, dpr, true, 51, noyer, 5.0);
    poserBois(p, v, dpr, false, 53, noyer, 5.0);
    // gilt edges and maple lozenges along the middle
    QLinearGradient or_ = dessins::degradeOr(QPointF(0, 0), QPointF(largeurPlateau, hauteurPlateau));
    p.setPen(QPen(QBrush(or_), 1.2));
    for (qreal d : {-demiBande + 1.6, demiBande - 1.6}) {
        p.drawLine(QPointF(h.left(), milieu + d), QPointF(h.right(), milieu + d));
        p.drawLine(QPointF(milieu + d, v.top()), QPointF(milieu + d, v.bottom()));
    }
    QLinearGradient erable(0, 0, 6, 6);
    erable.setSpread(QGradient::ReflectSpread);
    erable.setColorAt(0, QColor(246, 226, 182));
    erable.setColorAt(1, QColor(214, 178, 118));
    p.setPen(QPen(QColor(40, 20, 8, 200), 0.6));
    p.setBrush(erable);
    for (qreal t = bord + 9; t < largeurPlateau - bord - 4; t += 13) {
        if (std::abs(t - milieu) < rayonCadre + 4)
            continue;
        p.drawPath(losange(QPointF(t, milieu), 5.2, 3.2));
        p.drawPath(losange(QPointF(milieu, t), 3.2, 5.2));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 20, 20));
    for (qreal t = bord + 15.5; t < largeurPlateau - bord - 4; t += 13) {
        if (std::abs(t - milieu) < rayonCadre + 4)
            continue;
        p.drawEllipse(QPointF(t, milieu), 1.1, 1.1);
        p.drawEllipse(QPointF(milieu, t), 1.1, 1.1);
    }
    p.restore();
    // the band's shadow on the oak
    p.setPen(QPen(QColor(0, 0, 0, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.setClipPath(hors);
    p.drawRect(h.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.drawRect(v.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.restore();
}

void losangeCentral(QPainter &p)
{
    const QPointF c(milieu, milieu);
    // shadow of the frame
    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 28));
        p.drawPath(losange(c + QPointF(1.5, 2.5), rayonCadre + i * 0.8, rayonCadre + i * 0.8));
    }
    // gilded frame
    p.setBrush(dessins::degradeOr(c - QPointF(rayonCadre, rayonCadre), c + QPointF(rayonCadre, rayonCadre)));
    p.drawPath(formeLosangeCentral(rayonCadre));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 58, 10), 1.0));
    p.drawPath(formeLosangeCentral(rayonCadre - 0.5));
    p.setPen(QPen(QColor(255, 246, 200, 170), 0.9));
    p.drawPath(formeLosangeCentral(rayonCadre - 3.5));
    p.setPen(QPen(QColor(90, 58, 10, 200), 0.9));
    p.drawPath(formeLosangeCentral(rayonTapis + 3.5));
    // pearls along the frame
    p.setPen(Qt::NoPen);
    const qreal rp = (rayonCadre + rayonTapis) / 2;
    for (int cote = 0; cote < 4; ++cote) {
        const QPointF a = c + QPointF(cote == 0 ? rp : cote == 2 ? -rp : 0, cote == 1 ? rp : cote == 3 ? -rp : 0);
        const QPointF b = c + QPointF(cote == 1 ? -rp : cote == 3 ? rp : 0, cote == 0 ? rp : cote == 2 ? -rp : 0);
        for (int k = 1; k < 24; ++k) {
            const QPointF m = a + (b - a) * (k / 24.0);
            p.setBrush(QColor(255, 248, 215, 220));
            p.drawEllipse(m, 1.25, 1.25);
            p.setBrush(QColor(110, 70, 10, 160));
            p.drawEllipse(m + QPointF(0.4, 0.5), 0.5, 0.5);
        }
    }
    // green baize
    QRadialGradient tapis(c - QPointF(25, 30), rayonTapis * 1.3);
    tapis.setColorAt(0, QColor(30, 130, 62));
    tapis.setColorAt(0.7, QColor(14, 96, 44));
    tapis.setColorAt(1, QColor(6, 64, 28));
    p.setBrush(tapis);
    p.setPen(QPen(QColor(40, 25, 5), 1.2));
    p.drawPath(formeLosangeCentral(rayonTapis));
    // the felt's nap
    p.save();
    p.setClipPath(formeLosangeCentral(rayonTapis - 1));
    for (int i = 0; i < 900; ++i) {
        const double x = milieu - rayonTapis + dessins::bruit(i * 1.37, 0.5, 71) * 2 * rayonTapis;
        const double y = milieu - rayonTapis + dessins::bruit(0.5, i * 1.91, 73) * 2 * rayonTapis;
        p.setPen(QPen(QColor(dessins::bruit(i, i, 5) > 0.5 ? 255 : 0, 255, dessins::bruit(i, i, 5) > 0.5 ? 200 : 0, 16), 0.8));
        p.drawPoint(QPointF(x, y));
    }
    // inner shadow under the frame
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 4; ++i) {
        p.setPen(QPen(QColor(0, 0, 0, 40 - i * 8), 1.4));
        p.drawPath(formeLosangeCentral(rayonTapis - i * 1.2));
    }
    p.restore();
}

// A suit inlaid in maple in each quarter, the suit of the quarter's card.
void marqueterie(QPainter &p)
{
    struct Incrustation {
        QChar symbole;
        QPointF centre;
    };
    const Incrustation inc[4] = {{QChar(0x2665), QPointF(150, 78)}, {QChar(0x2660), QPointF(275, 78)},
                                 {QChar(0x2666), QPointF(150, 347)}, {QChar(0x2663), QPointF(275, 347)}};
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(58);
    for (const Incrustation &i : inc) {
        QPainterPath forme;
        forme.addText(0, 0, f, QString(i.symbole));
        forme.translate(i.centre - forme.boundingRect().center());
        // the suit in light maple, sunk into the oak with a fine dark joint
        QLinearGradient erable(forme.boundingRect().topLeft(), forme.boundingRect().bottomRight());
        erable.setColorAt(0, QColor(242, 222, 178, 235));
        erable.setColorAt(1, QColor(206, 168, 110, 235));
        p.setPen(QPen(QColor(255, 240, 200, 60), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(forme.translated(0.8, 0.8));
        p.setPen(QPen(QColor(50, 26, 8, 210), 0.9));
        p.setBrush(erable);
        p.drawPath(forme);
    }
}

// A brass mount under each pot display, a little larger than the display.
void socle(QPainter &p, const QRect &afficheur)
{
    const QRectF r = QRectF(afficheur).adjusted(-3, -3, 3, 3);
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 30));
        p.drawRoundedRect(r.translated(1, 1.5).adjusted(-i * 0.6, -i * 0.6, i * 0.6, i * 0.6), 3 + i, 3 + i);
    }
    p.setBrush(dessins::degradeOr(r.topLeft(), r.bottomRight()));
    p.setPen(QPen(QColor(80, 50, 8), 0.8));
    p.drawRoundedRect(r, 3, 3);
    p.setBrush(QColor(40, 24, 6));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(afficheur).adjusted(-0.5, -0.5, 0.5, 0.5));
}

} // namespace

QImage dessinerPlateau(qreal dpr)
{
    return dessins::tableau(largeurPlateau, hauteurPlateau, dpr, [dpr](QPainter &p) {
        quartiers(p, dpr);
        rebord(p, dpr);
        bande(p, dpr);
        losangeCentral(p);
        marqueterie(p);
        for (const Cagnotte &c : tableCagnottes) {
            socle(p, c.rectAfficheur);
            dessins::carteOmbree(p, c.carte, c.rectCarte);
        }
    });
}

QPixmap imagePlateau(qreal dpr)
{
    const qreal d = dpr > 1.0 ? dpr : 1.0;
    const QString cle = QStringLiteral("merle-plateau-%1").arg(d);
    QPixmap pm;
    if (QPixmapCache::find(cle, &pm))
        return pm;
    pm = imagePrete("plateau", d);
    if (pm.isNull()) {
        pm = QPixmap::fromImage(dessinerPlateau(d));
        pm.setDevicePixelRatio(d);
    }
    QPixmapCache::insert(cle, pm);
    return pm;
}
