// Renders the 52 card faces of an SVG deck into the sheet the game embeds:
// 576 x 756 pixels at 1x (72 x 108 per face, 8 per row, 7 rows, entry e at
// column e % 8 and row e / 8), the same at 2x, and a one-bit mask of each.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

static const char *const couleurs[] = {"club", "diamond", "heart", "spade"};
static const char *const figures[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "jack", "queen", "king"};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s deck.svgz output-folder\n", argv[0]);
        return 2;
    }
    QSvgRenderer deck(QString::fromLocal8Bit(argv[1]));
    if (!deck.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString dossier = QString::fromLocal8Bit(argv[2]);
    for (int echelle = 1; echelle <= 2; ++echelle) {
        QImage feuille(576 * echelle, 756 * echelle, QImage::Format_ARGB32_Premultiplied);
        feuille.fill(Qt::transparent);
        QPainter p(&feuille);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int e = 0; e < 52; ++e) {
            const QString id = QStringLiteral("%1_%2").arg(couleurs[e / 13], figures[e % 13]);
            const QRectF cible((e % 8) * 72 * echelle, (e / 8) * 108 * echelle, 72 * echelle, 108 * echelle);
            deck.render(&p, id, cible);
        }
        p.end();
        QImage masque = feuille.createAlphaMask(Qt::ThresholdDither | Qt::ThresholdAlphaDither);
        const QString suffixe = echelle == 1 ? QString() : QStringLiteral("@2x");
        QImage opaque(feuille.size(), QImage::Format_RGB888);
        opaque.fill(Qt::white);
        QPainter q(&opaque);
        q.drawImage(0, 0, feuille);
        q.end();
        if (!opaque.save(dossier + "/cartes" + suffixe + ".png") || !masque.save(dossier + "/masque" + suffixe + ".png")) {
            std::fprintf(stderr, "cannot write into %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
