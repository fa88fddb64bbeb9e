// The splash picture: deep blue ground with a gilt frame, the blackbird
// emblem on the left, the title and the version line above a fan of the five
// cards that take.
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include "ui/dessins_outils.h"
#include "ui/images.h"

#ifndef MERLE_VERSION
#define MERLE_VERSION "?"
#endif

namespace {

void fond(QPainter &p)
{
    const QRectF tout(0, 0, largeurSplash, hauteurSplash);
    QLinearGradient bleu(0, 0, 0, hauteurSplash);
    bleu.setColorAt(0, QColor(26, 62, 160));
    bleu.setColorAt(0.55, QColor(14, 36, 112));
    bleu.setColorAt(1, QColor(6, 16, 64));
    p.fillRect(tout, bleu);
    // a soft light behind the fan and the title
    QRadialGradient halo(QPointF(350, 130), 210);
    halo.setColorAt(0, QColor(110, 160, 255, 110));
    halo.setColorAt(0.6, QColor(70, 120, 230, 30));
    halo.setColorAt(1, QColor(70, 120, 230, 0));
    p.fillRect(tout, halo);
    // a faint lattice of lozenges, like a card back
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int k = -hauteurSplash; k < largeurSplash; k += 18) {
        p.drawLine(QPointF(k, 0), QPointF(k + hauteurSplash, hauteurSplash));
        p.drawLine(QPointF(k + hauteurSplash, 0), QPointF(k, hauteurSplash));
    }
    p.restore();
    // darker edges
    QRadialGradient vignette(QPointF(largeurSplash / 2.0, hauteurSplash / 2.0), largeurSplash * 0.62);
    vignette.setColorAt(0.55, QColor(0, 0, 20, 0));
    vignette.setColorAt(1, QColor(0, 0, 20, 120));
    p.fillRect(tout, vignette);
    // double gilt frame
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(dessins::degradeOr(QPointF(0, 0), QPointF(largeurSplash, hauteurSplash))), 2.0));
    p.drawRoundedRect(tout.adjusted(5, 5, -5, -5), 6, 6);
    p.setPen(QPen(QColor(230, 196, 110, 150), 0.8));
    p.drawRoundedRect(tout.adjusted(9, 9, -9, -9), 4, 4);
}

void titre(QPainter &p)
{
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(45);
    f.setBold(true);
    f.setItalic(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    QPainterPath texte;
    texte.addText(0, 0, f, QStringLiteral("Merle Vert"));
    const QRectF b = texte.boundingRect();
    texte.translate(350 - b.center().x(), 60);
    p.setPen(Qt::NoPen);
    // shadow, then the gilt letters with a dark edge and a light top
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 30, 55));
        p.drawPath(texte.translated(i * 0.8, i * 1.1));
    }
    const QRectF t = texte.boundingRect();
    p.setBrush(dessins::degradeOr(QPointF(0, t.top()), QPointF(0, t.bottom())));
    p.setPen(QPen(QColor(80, 48, 6), 1.0));
    p.drawPath(texte);
    p.setPen(QPen(QColor(255, 250, 220, 110), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(texte.translated(-0.5, -0.6));
}

void ligneVersion(QPainter &p)
{
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(13);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(f);
    const QString texte = QStringLiteral("Version ") + QStringLiteral(MERLE_VERSION);
    const QFontMetricsF m(f);
    const qreal l = m.horizontalAdvance(texte);
    const qreal y = 84;
    p.setPen(QColor(232, 222, 190));
    p.drawText(QPointF(350 - l / 2, y), texte);
    // gilt rules with a small lozenge at their ends
    p.setPen(QPen(QColor(222, 182, 90), 1));
    p.setBrush(QColor(222, 182, 90));
    for (int s : {-1, 1}) {
        const qreal x0 = 350 + s * (l / 2 + 10), x1 = 350 + s * (l / 2 + 62);
        p.drawLine(QPointF(x0, y - 4.5), QPointF(x1, y - 4.5));
        QPainterPath d;
        d.moveTo(x1 + s * 4, y - 4.5);
        d.lineTo(x1, y - 7);
        d.lineTo(x1 - s * 4, y - 4.5);
        d.lineTo(x1, y - 2);
        d.closeSubpath();
        p.drawPath(d);
    }
}

void eventail(QPainter &p)
{
    // the 7 and the 10 of diamonds, the jack of clubs, the queen of spades, the king of hearts
    const CardNumber cartes[] = {cartesQuiPrennent[0], cartesQuiPrennent[1], cartesQuiPrennent[2],
                                 cartesQuiPrennent[4], cartesQuiPrennent[3]};
    const QPointF pivot(350, 306);
    const qreal distance = 150;
    for (int i = 0; i < 5; ++i) {
        const qreal angle = (i - 2) * 12.0;
        const qreal a = angle * M_PI / 180.0;
        const QPointF centre = pivot + QPointF(std::sin(a), -std::cos(a)) * distance;
        dessins::carteOmbree(p, cartes[i], QRectF(centre.x() - largeurCarte / 2.0, centre.y() - hauteurCarte / 2.0,
                                                   largeurCarte, hauteurCarte), angle, 1.6);
    }
}

} // namespace

QImage dessinerSplash(qreal dpr)
{
    return dessins::tableau(largeurSplash, hauteurSplash, dpr, [](QPainter &p) {
        fond(p);
        dessins::medaillon(p, QPointF(104, 125), 84);
        titre(p);
        ligneVersion(p);
        eventail(p);
    });
}

QPixmap imageSplash(qreal dpr)
{
    const qreal d = dpr > 1.0 ? dpr : 1.0;
    QPixmap pm = imagePrete("splash", d);
    if (pm.isNull()) {
        pm = QPixmap::fromImage(dessinerSplash(d));
        pm.setDevicePixelRatio(d);
    }
    return pm;
}
