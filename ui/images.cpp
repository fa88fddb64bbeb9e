// Card faces cut from the embedded sheet, the drawing helpers shared by the
// board and the splash, and the program's icon.
#include "ui/images.h"

#include <QFont>
#include <QPainter>
#include <QPixmapCache>
#include <cmath>
#include "ui/dessins_outils.h"
#include "ui/imagebrute.h"

namespace {

// The sheet of the 52 faces, 8 a row, transparent outside each card's
// rounded outline. Each scale is unpacked the first time one of its cards is
// asked for: a screen at scale 1 never pays for the large one.
const QImage &feuille(int echelle)
{
    if (echelle == 1) {
        static const QImage f1 = imagebrute::lire(QStringLiteral(":/cartes/cartes.argb"));
        return f1;
    }
    static const QImage f2 = imagebrute::lire(QStringLiteral(":/cartes/cartes@2x.argb"));
    return f2;
}

QImage faceSeule(CardNumber n, int echelle)
{
    const int e = n - 1;
    return feuille(echelle).copy((e % 8) * largeurCarte * echelle, (e / 8) * hauteurCarte * echelle,
                                 largeurCarte * echelle, hauteurCarte * echelle);
}

} // namespace

QPixmap imagePrete(const char *nom, qreal dpr)
{
    if (dpr != 1.0 && dpr != 2.0)
        return QPixmap();
    const QImage img = imagebrute::lire(QStringLiteral(":/dessins/%1%2.rgb")
                                            .arg(QLatin1String(nom), dpr == 2.0 ? QStringLiteral("@2x") : QString()));
    if (img.isNull())
        return QPixmap();
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(dpr);
    return pm;
}

QPixmap imageCarte(CardNumber n, qreal dpr)
{
    if (n < 1 || n > 52)
        return QPixmap();
    const int echelle = dpr > 1.0 ? 2 : 1;
    // One cache key per face and scale: a face is looked up at every paint.
    static QPixmapCache::Key cles[2][52];
    QPixmapCache::Key &cle = cles[echelle - 1][n - 1];
    QPixmap p;
    if (QPixmapCache::find(cle, &p))
        return p;
    p = QPixmap::fromImage(faceSeule(n, echelle));
    p.setDevicePixelRatio(echelle);
    cle = QPixmapCache::insert(p);
    return p;
}

namespace dessins {

double bruit(double x, double y, unsigned graine)
{
    // Smoothly interpolated value noise on an integer lattice.
    auto h = [graine](int i, int j) {
        unsigned v = static_cast<unsigned>(i) * 374761393u + static_cast<unsigned>(j) * 668265263u + graine * 2246822519u;
        v = (v ^ (v >> 13)) * 1274126177u;
        v ^= v >> 16;
        return (v & 0xffffff) / double(0x1000000);
    };
    const double fx = std::floor(x), fy = std::floor(y);
    const int i = static_cast<int>(fx), j = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = h(i, j) + (h(i + 1, j) - h(i, j)) * tx;
    const double b = h(i, j + 1) + (h(i + 1, j + 1) - h(i, j + 1)) * tx;
    return a + (b - a) * ty;
}

QLinearGradient degradeOr(const QPointF &de, const QPointF &a)
{
    QLinearGradient g(de, a);
    g.setColorAt(0.0, QColor(255, 240, 170));
    g.setColorAt(0.35, QColor(222, 176, 70));
    g.setColorAt(0.6, QColor(160, 112, 30));
    g.setColorAt(0.8, QColor(232, 196, 100));
    g.setColorAt(1.0, QColor(140, 96, 24));
    return g;
}

QImage tableau(int largeur, int hauteur, qreal dpr, const std::function<void(QPainter &)> &peindre)
{
    QImage img(qRound(largeur * dpr), qRound(hauteur * dpr), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    peindre(p);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

void carteOmbree(QPainter &p, CardNumber n, const QRectF &cible, qreal angle, qreal ombre)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(qRound(cible.width() * dpr), qRound(cible.height() * dpr));
    QPixmap face;
    if (pixels == QSize(largeurCarte, hauteurCarte) * 1 || pixels == QSize(largeurCarte, hauteurCarte) * 2) {
        face = imageCarte(n, pixels.width() > largeurCarte ? 2.0 : 1.0);
    } else {
        // Scaled once with proper filtering, then drawn pixel for pixel; the
        // large sheet is read only when the small one would be enlarged.
        const bool agrandie = pixels.width() > largeurCarte || pixels.height() > hauteurCarte;
        const QImage grande = imageCarte(n, agrandie ? 2.0 : 1.0).toImage();
        face = QPixmap::fromImage(grande.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        face.setDevicePixelRatio(dpr);
    }
    if (face.isNull())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(cible.center());
    p.rotate(angle);
    const QRectF local(-cible.width() / 2, -cible.height() / 2, cible.width(), cible.height());
    const qreal rayon = cible.width() * 0.065;
    if (ombre > 0) {
        p.setPen(Qt::NoPen);
        for (int i = 4; i >= 1; --i) {
            p.setBrush(QColor(0, 0, 0, int(22 * ombre)));
            p.drawRoundedRect(local.translated(1.5 * ombre, 2.5 * ombre).adjusted(-i * 0.7, -i * 0.7, i * 0.7, i * 0.7),
                              rayon + i, rayon + i);
        }
    }
    p.drawPixmap(local.topLeft(), face);
    p.restore();
}

void merle(QPainter &p, const QRectF &boite)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(boite.topLeft());
    p.scale(boite.width() / 100.0, boite.height() / 100.0);

    // the branch and its leaves
    QPainterPath branche;
    branche.moveTo(4, 83);
    branche.cubicTo(30, 77, 60, 80, 96, 74);
    p.setPen(QPen(QColor(92, 58, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(branche);
    p.setPen(QPen(QColor(92, 58, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(80, 76.5), QPointF(89, 85));
    auto feuille = [&p](QPointF base, qreal angle, qreal longueur) {
        p.save();
        p.translate(base);
        p.rotate(angle);
        QPainterPath f;
        f.moveTo(0, 0);
        f.cubicTo(longueur * 0.3, -longueur * 0.28, longueur * 0.75, -longueur * 0.22, longueur, 0);
        f.cubicTo(longueur * 0.75, longueur * 0.22, longueur * 0.3, longueur * 0.28, 0, 0);
        QLinearGradient g(0, -4, 0, 4);
        g.setColorAt(0, QColor(128, 186, 72));
        g.setColorAt(1, QColor(46, 110, 38));
        p.setPen(QPen(QColor(30, 70, 25), 0.6));
        p.setBrush(g);
        p.drawPath(f);
        p.setPen(QPen(QColor(210, 235, 170, 180), 0.5));
        p.drawLine(QPointF(1, 0), QPointF(longueur * 0.85, 0));
        p.restore();
    };
    feuille(QPointF(14, 81), 150, 13);
    feuille(QPointF(86, 75), -35, 12);
    feuille(QPointF(88, 86), 40, 11);

    // the bird, facing right: a slender blackbird with a long tail
    QPainterPath corps;
    corps.moveTo(62, 20.5);
    corps.cubicTo(50, 24, 42, 38, 37, 56);      // back down to the rump
    corps.lineTo(13, 80);                        // upper edge of the tail
    corps.cubicTo(13, 84, 16, 86.5, 20, 86);     // tail tip
    corps.lineTo(47, 68);                        // lower edge of the tail
    corps.cubicTo(58, 67, 70, 58, 74, 46);       // belly and breast
    corps.cubicTo(77, 38, 77, 31, 74, 27);       // throat
    corps.cubicTo(72, 22, 67, 19.5, 62, 20.5);   // head
    corps.closeSubpath();
    QPainterPath tete;
    tete.addEllipse(QPointF(67, 27), 8, 7.8);
    const QPainterPath oiseau = corps.united(tete);
    QLinearGradient plumage(40, 20, 70, 75);
    plumage.setColorAt(0.0, QColor(70, 170, 70));
    plumage.setColorAt(0.5, QColor(24, 120, 52));
    plumage.setColorAt(1.0, QColor(8, 66, 34));
    // legs first, under the body
    p.setPen(QPen(QColor(200, 130, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(55, 66), QPointF(54, 79.5));
    p.drawLine(QPointF(60.5, 64), QPointF(61.5, 79));
    p.setPen(QPen(QColor(6, 40, 20), 1.1));
    p.setBrush(plumage);
    p.drawPath(oiseau);
    // the wing
    QPainterPath aile;
    aile.moveTo(61, 35);
    aile.cubicTo(51, 36, 42, 48, 37, 61);
    aile.cubicTo(46, 62, 58, 58, 64, 50);
    aile.cubicTo(66.5, 45, 66, 38, 61, 35);
    QLinearGradient ton(38, 38, 64, 60);
    ton.setColorAt(0, QColor(16, 88, 42));
    ton.setColorAt(1, QColor(40, 140, 64));
    p.setBrush(ton);
    p.setPen(QPen(QColor(6, 50, 24), 0.9));
    p.drawPath(aile);
    p.setPen(QPen(QColor(150, 215, 130, 150), 0.7));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(57 - i * 4, 46 + i * 3.5), QPointF(45 - i * 3.5, 56 + i * 2));
    // a sheen on the head and back
    p.setPen(QPen(QColor(190, 240, 160, 150), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath reflet;
    reflet.moveTo(61, 23);
    reflet.cubicTo(53, 26, 46, 34, 42, 46);
    p.drawPath(reflet);
    // slender beak
    QPainterPath bec;
    bec.moveTo(74, 24.5);
    bec.quadTo(81, 25.5, 89, 28);
    bec.quadTo(81, 29.5, 74.5, 30.5);
    bec.closeSubpath();
    QLinearGradient or_(74, 24, 74, 31);
    or_.setColorAt(0, QColor(255, 200, 60));
    or_.setColorAt(1, QColor(225, 130, 20));
    p.setPen(QPen(QColor(150, 80, 10), 0.5));
    p.setBrush(or_);
    p.drawPath(bec);
    // eye with its golden ring
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 60));
    p.drawEllipse(QPointF(69.5, 25.5), 2.4, 2.4);
    p.setBrush(QColor(10, 20, 10));
    p.drawEllipse(QPointF(69.8, 25.5), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(70.3, 24.9), 0.5, 0.5);
    p.restore();
}

void medaillon(QPainter &p, const QPointF &centre, qreal rayon)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // shadow
    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 20, 30));
        p.drawEllipse(centre + QPointF(rayon * 0.03, rayon * 0.05), rayon + i * rayon * 0.015, rayon + i * rayon * 0.015);
    }
    // gilded rim
    p.setBrush(degradeOr(centre - QPointF(rayon, rayon), centre + QPointF(rayon, rayon)));
    p.drawEllipse(centre, rayon, rayon);
    p.setPen(QPen(QColor(90, 60, 10), rayon * 0.015));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, rayon * 0.985, rayon * 0.985);
    // beaded ring
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 200, 200));
    for (int i = 0; i < 48; ++i) {
        const double a = i * 2 * M_PI / 48;
        p.drawEllipse(centre + QPointF(std::cos(a), std::sin(a)) * rayon * 0.91, rayon * 0.022, rayon * 0.022);
    }
    // field
    const qreal interieur = rayon * 0.84;
    QRadialGradient champ(centre - QPointF(interieur * 0.3, interieur * 0.35), interieur * 1.4);
    champ.setColorAt(0, QColor(255, 252, 238));
    champ.setColorAt(0.6, QColor(240, 228, 196));
    champ.setColorAt(1, QColor(206, 184, 136));
    p.setBrush(champ);
    p.setPen(QPen(QColor(110, 76, 16), rayon * 0.025));
    p.drawEllipse(centre, interieur, interieur);
    p.setClipRegion(QRegion());
    QPainterPath disque;
    disque.addEllipse(centre, interieur - rayon * 0.02, interieur - rayon * 0.02);
    p.setClipPath(disque);
    merle(p, QRectF(centre.x() - interieur * 0.82, centre.y() - interieur * 0.8, interieur * 1.64, interieur * 1.64));
    p.restore();
}

} // namespace dessins

namespace {

QPixmap icone(int cote)
{
    QPixmap pm(cote, cote);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal c = cote;
    // blue tile, as the splash
    const QRectF tuile(c * 0.03, c * 0.03, c * 0.94, c * 0.94);
    QLinearGradient fond(0, 0, 0, c);
    fond.setColorAt(0, QColor(40, 86, 190));
    fond.setColorAt(1, QColor(10, 28, 92));
    p.setPen(cote >= 32 ? QPen(QColor(230, 190, 90), c / 48.0) : Qt::NoPen);
    p.setBrush(fond);
    p.drawRoundedRect(tuile, c * 0.16, c * 0.16);
    // fan of three cards
    const bool petit = cote < 24;
    const qreal h = c * (petit ? 0.62 : 0.50);
    const qreal l = h * 2.0 / 3.0;
    const QPointF pivot(c / 2, c * (petit ? 0.80 : 0.66));
    // the 7 of diamonds, the queen of spades, the king of hearts
    const CardNumber cartes[] = {cartesQuiPrennent[0], cartesQuiPrennent[4], cartesQuiPrennent[3]};
    const qreal angles[] = {-22, 0, 22};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(pivot);
        p.rotate(angles[i]);
        const QRectF r(-l / 2, -h * 1.02, l, h);
        p.translate(r.center());
        dessins::carteOmbree(p, cartes[i], QRectF(-l / 2, -h / 2, l, h), 0, cote >= 48 ? 1.0 : 0.0);
        p.restore();
    }
    if (petit) {
        p.end();
        return pm;
    }
    // the title under the fan: initials when small, the name when large
    const bool nom = cote >= 64;
    const QString titre = nom ? QStringLiteral("Merle Vert") : QStringLiteral("MV");
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setBold(true);
    f.setItalic(nom);
    f.setPixelSize(qMax(8, int(c * (nom ? 0.155 : 0.30))));
    if (nom)
        f.setStretch(QFont::SemiCondensed);
    QPainterPath texte;
    texte.addText(0, 0, f, titre);
    const QRectF b = texte.boundingRect();
    const qreal base = c * 0.92 - (b.bottom());
    texte.translate(c / 2 - b.center().x(), base);
    // dark band behind the letters so they read over the cards
    const QRectF bande(c * 0.08, texte.boundingRect().top() - c * 0.03, c * 0.84, texte.boundingRect().height() + c * 0.06);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 22, 70, 215));
    p.drawRoundedRect(bande, c * 0.05, c * 0.05);
    p.setBrush(dessins::degradeOr(QPointF(0, bande.top()), QPointF(0, bande.bottom())));
    p.setPen(cote >= 128 ? QPen(QColor(70, 40, 5), c / 256.0) : Qt::NoPen);
    p.drawPath(texte);
    p.end();
    return pm;
}

} // namespace

QPixmap imageIcone(int cote)
{
    return icone(cote);
}

QIcon iconeJeu()
{
    // The sizes drawn when the program was built, or drawn now if absent;
    // unpacked once, since every window of the game carries the icon.
    static const QIcon i = [] {
        QIcon icone_;
        for (int cote : taillesIcone) {
            const QImage prete = imagebrute::lire(QStringLiteral(":/dessins/icone-%1.argb").arg(cote));
            icone_.addPixmap(prete.size() == QSize(cote, cote) ? QPixmap::fromImage(prete) : icone(cote));
        }
        return icone_;
    }();
    return i;
}
