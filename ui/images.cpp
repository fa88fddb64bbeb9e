// PROVISIONAL: cards from the embedded sheet; board, splash and icon come next.
#include "ui/images.h"
#include <QBitmap>
#include <QPainter>

QPixmap imageCarte(CardNumber n, qreal dpr)
{
    if (n < 1 || n > 52)
        return QPixmap();
    const int e = n - 1;
    const bool double_ = dpr > 1.0;
    const int f = double_ ? 2 : 1;
    static QImage feuille1(QStringLiteral(":/cartes/cartes.png"));
    static QImage feuille2(QStringLiteral(":/cartes/cartes@2x.png"));
    static QImage masque1(QStringLiteral(":/cartes/masque.png"));
    static QImage masque2(QStringLiteral(":/cartes/masque@2x.png"));
    const QRect r((e % 8) * 72 * f, (e / 8) * 108 * f, 72 * f, 108 * f);
    QImage face = (double_ ? feuille2 : feuille1).copy(r).convertToFormat(QImage::Format_ARGB32);
    QImage m = (double_ ? masque2 : masque1).copy(r);
    face.setAlphaChannel(m.convertToFormat(QImage::Format_Grayscale8));
    QPixmap p = QPixmap::fromImage(face);
    p.setDevicePixelRatio(f);
    return p;
}

QPixmap imagePlateau(qreal) { QPixmap p(425, 425); p.fill(QColor(120, 80, 40)); return p; }
QPixmap imageSplash(qreal) { QPixmap p(514, 250); p.fill(Qt::blue); return p; }
QIcon iconeJeu() { return QIcon(); }
