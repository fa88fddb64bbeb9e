// The card faces, the board, the splash and the icon.
#include <QtTest>
#include "support/table.h"
#include <QLabel>
#include <QtEndian>
#include <cstring>
#include "ui/Unit1.h"
#include "ui/afficheur.h"
#include "ui/imagebrute.h"
#include "ui/imagecarte.h"
#include "ui/imagefixe.h"
#include "ui/images.h"

namespace {

QImage image(const QPixmap &p) { return p.toImage().convertToFormat(QImage::Format_ARGB32); }

// Ink of the corner index: dark grey on the black suits, red on the red ones.
bool encre(QRgb c, bool rouge)
{
    if (qAlpha(c) < 255)
        return false;
    return rouge ? qRed(c) > 170 && qGreen(c) < 120 && qBlue(c) < 120
                 : qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110;
}

// How many columns of the rectangle hold ink.
int colonnesEncrees(const QImage &img, const QRect &r, bool rouge)
{
    int n = 0;
    for (int x = r.left(); x <= r.right(); ++x) {
        bool trouve = false;
        for (int y = r.top(); y <= r.bottom() && !trouve; ++y)
            trouve = encre(img.pixel(x, y), rouge);
        n += trouve;
    }
    return n;
}

// Where the rank of a face's index stands on the sharper faces: the
// top-left corner and, turned, the bottom-right one.
const QRect indiceHaut(4, 16, 28, 22);
const QRect indiceBas(144 - 4 - 28, 216 - 16 - 22, 28, 22);

} // namespace

class TestImages : public QObject {
    Q_OBJECT
private slots:
    void faces_data();
    void faces();
    void horsDuJeu_data();
    void horsDuJeu();
    void coinsTransparents_data();
    void coinsTransparents();
    void facesToutesDifferentes();
    void asMarquesA_data();
    void asMarquesA();
    void tailles_data();
    void tailles();
    void placesDesCagnottes_data();
    void placesDesCagnottes();
    void cartesPeintesSurLePlateau();
    void afficheursDeLaFenetre();
    void plateauVerrouille();
    void toileEtFondDuParent();
    void icone();
    void dessinsPrets_data();
    void dessinsPrets();
    void imageBruteAllerRetour_data();
    void imageBruteAllerRetour();
    void imageBruteMalFormee_data();
    void imageBruteMalFormee();
};

void TestImages::faces_data()
{
    QTest::addColumn<int>("carte");
    for (int n = 1; n <= 52; ++n)
        QTest::addRow("carte %d", n) << n;
}

void TestImages::faces()
{
    QFETCH(int, carte);
    const QPixmap simple = imageCarte(carte, 1.0);
    QCOMPARE(simple.size(), QSize(72, 108));
    QCOMPARE(simple.devicePixelRatio(), 1.0);
    const QPixmap double_ = imageCarte(carte, 2.0);
    QCOMPARE(double_.size(), QSize(144, 216));
    QCOMPARE(double_.devicePixelRatio(), 2.0);
    QCOMPARE(double_.deviceIndependentSize(), QSizeF(72, 108));
    // A fractional ratio takes the sharper sheet.
    QCOMPARE(imageCarte(carte, 1.25).size(), QSize(144, 216));
    // The rank stands in the suit's ink in the top-left corner and, turned,
    // in the bottom-right one: a face the deck did not give (blank paper,
    // another card's drawing) has no such index.
    const bool rouge = carte >= 14 && carte <= 39;
    const QImage img = image(double_);
    for (const QRect &r : {indiceHaut, indiceBas})
        QVERIFY2(colonnesEncrees(img, r, rouge) >= 4, qPrintable(QStringLiteral("%1 colonnes").arg(colonnesEncrees(img, r, rouge))));
}

void TestImages::horsDuJeu_data()
{
    QTest::addColumn<int>("carte");
    QTest::newRow("case vide") << 0;
    QTest::newRow("après le roi de pique") << 53;
    QTest::newRow("négatif") << -1;
}

void TestImages::horsDuJeu()
{
    QFETCH(int, carte);
    QVERIFY(imageCarte(carte, 1.0).isNull());
    QVERIFY(imageCarte(carte, 2.0).isNull());
}

void TestImages::coinsTransparents_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<qreal>("dpr");
    for (int n : {1, 20, 39, 52})
        for (qreal d : {1.0, 2.0})
            QTest::addRow("carte %d à %g×", n, d) << n << d;
}

void TestImages::coinsTransparents()
{
    QFETCH(int, carte);
    QFETCH(qreal, dpr);
    const QImage img = image(imageCarte(carte, dpr));
    const int w = img.width() - 1, h = img.height() - 1;
    for (const QPoint &coin : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        QCOMPARE(qAlpha(img.pixel(coin)), 0);
    // the card itself is opaque, from its centre out to the middle of each edge
    for (const QPoint &p : {QPoint(w / 2, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h), QPoint(0, h / 2), QPoint(w, h / 2)})
        QCOMPARE(qAlpha(img.pixel(p)), 255);
    // the edge carries the card's dark outline, the inside its light paper
    QVERIFY(qGray(img.pixel(w / 2, 0)) < 140);
    QVERIFY(qGray(img.pixel(w / 2, 3 * static_cast<int>(dpr))) > 200);
}

void TestImages::facesToutesDifferentes()
{
    QList<QImage> faces;
    for (int n = 1; n <= 52; ++n)
        faces << image(imageCarte(n, 1.0));
    for (int a = 0; a < 52; ++a)
        for (int b = a + 1; b < 52; ++b)
            QVERIFY2(faces[a] != faces[b], qPrintable(QStringLiteral("cartes %1 et %2").arg(a + 1).arg(b + 1)));
}

void TestImages::asMarquesA_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<bool>("rouge");
    QTest::addColumn<int>("minimum");   // inked columns of the index
    QTest::addColumn<int>("maximum");
    // An A is about twice as wide as the deck's narrow "1"; the "2" of the same
    // suit is the narrow reference that shows the measure tells them apart.
    // Measured on the sharper faces, where a "1" takes about 9 columns.
    QTest::newRow("as de trèfle") << 1 << false << 14 << 18;
    QTest::newRow("as de carreau") << 14 << true << 14 << 18;
    QTest::newRow("as de cœur") << 27 << true << 14 << 18;
    QTest::newRow("as de pique") << 40 << false << 14 << 18;
    QTest::newRow("deux de trèfle") << 2 << false << 8 << 12;
    QTest::newRow("deux de cœur") << 28 << true << 8 << 12;
}

void TestImages::asMarquesA()
{
    QFETCH(int, carte);
    QFETCH(bool, rouge);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    const QImage img = image(imageCarte(carte, 2.0));
    for (const QRect &r : {indiceHaut, indiceBas}) {
        const int n = colonnesEncrees(img, r, rouge);
        QVERIFY2(n >= minimum && n <= maximum, qPrintable(QStringLiteral("%1 colonnes").arg(n)));
    }
}

void TestImages::tailles_data()
{
    QTest::addColumn<QString>("quoi");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<QSize>("logique");
    QTest::newRow("plateau 1×") << "plateau" << 1.0 << QSize(425, 425);
    QTest::newRow("plateau 2×") << "plateau" << 2.0 << QSize(425, 425);
    QTest::newRow("splash 1×") << "splash" << 1.0 << QSize(514, 250);
    QTest::newRow("splash 2×") << "splash" << 2.0 << QSize(514, 250);
    // scales with no prepared picture are drawn on the spot
    QTest::newRow("plateau 3×") << "plateau" << 3.0 << QSize(425, 425);
    QTest::newRow("splash 3×") << "splash" << 3.0 << QSize(514, 250);
}

void TestImages::tailles()
{
    QFETCH(QString, quoi);
    QFETCH(qreal, dpr);
    QFETCH(QSize, logique);
    const QPixmap p = quoi == "plateau" ? imagePlateau(dpr) : imageSplash(dpr);
    QCOMPARE(p.devicePixelRatio(), dpr);
    QCOMPARE(p.deviceIndependentSize(), QSizeF(logique));
    QCOMPARE(p.size(), logique * dpr);
    QVERIFY(!p.hasAlphaChannel());
}

void TestImages::placesDesCagnottes_data()
{
    QTest::addColumn<int>("cagnotte");
    QTest::addColumn<int>("carte");
    QTest::addColumn<QString>("cote");   // where the card stands against its display
    QTest::newRow("7 de carreau") << 0 << 20 << "gauche";
    QTest::newRow("10 de carreau") << 1 << 23 << "dessous";
    QTest::newRow("valet de trèfle") << 2 << 11 << "dessous";
    QTest::newRow("roi de cœur") << 3 << 39 << "dessus";
    QTest::newRow("dame de pique") << 4 << 51 << "dessus";
}

void TestImages::placesDesCagnottes()
{
    QFETCH(int, cagnotte);
    QFETCH(int, carte);
    QFETCH(QString, cote);
    const Cagnotte &p = tableCagnottes[cagnotte];
    QCOMPARE(p.carte, cartesQuiPrennent[cagnotte]);
    QCOMPARE(p.carte, carte);
    const QRect plateau(0, 0, largeurPlateau, hauteurPlateau);
    QVERIFY(plateau.contains(p.rectCarte));
    QVERIFY(plateau.contains(p.rectAfficheur));
    // the display covers no part of its card, nor of any other
    for (int c = 0; c < nbCagnottes; ++c)
        QVERIFY2(!p.rectAfficheur.intersects(tableCagnottes[c].rectCarte), qPrintable(QString::number(c)));
    // recognisable: at least three quarters of the real size, card proportions
    QVERIFY(p.rectCarte.width() >= 54);
    QCOMPARE(p.rectCarte.width() * 3, p.rectCarte.height() * 2);
    // and beside it, not far away
    const QRect a = p.rectAfficheur, c = p.rectCarte;
    if (cote == "dessus") {
        QVERIFY(c.bottom() < a.top() && a.top() - c.bottom() <= 10);
        QVERIFY(qAbs(c.center().x() - a.center().x()) <= 2);
    } else if (cote == "dessous") {
        QVERIFY(c.top() > a.bottom() && c.top() - a.bottom() <= 10);
        QVERIFY(qAbs(c.center().x() - a.center().x()) <= 2);
    } else {
        QVERIFY(c.right() < a.left() && a.left() - c.right() <= 10);
        QVERIFY(qAbs(c.center().y() - a.center().y()) <= 2);
    }
}

void TestImages::cartesPeintesSurLePlateau()
{
    // The full-size cards are drawn pixel for pixel: the middle of each on the
    // board is the middle of its face.
    const QImage plateau = imagePlateau(1.0).toImage().convertToFormat(QImage::Format_RGB32);
    for (int c = 0; c < nbCagnottes; ++c) {
        const Cagnotte &p = tableCagnottes[c];
        if (p.rectCarte.size() != QSize(largeurCarte, hauteurCarte))
            continue;
        const QImage face = image(imageCarte(p.carte, 1.0)).convertToFormat(QImage::Format_RGB32);
        const QRect milieu(16, 24, 40, 60);
        QCOMPARE(plateau.copy(milieu.translated(p.rectCarte.topLeft())), face.copy(milieu));
    }
    // the reduced centre card shows its light paper, not the green baize
    const QRect r = tableCagnottes[0].rectCarte;
    int clairs = 0;
    for (int y = r.top() + 4; y < r.bottom() - 4; ++y)
        clairs += qGray(plateau.pixel(r.left() + 3, y)) > 200;
    QVERIFY(clairs > (r.height() - 8) * 3 / 4);
}

void TestImages::afficheursDeLaFenetre()
{
    // The board's layout matches where the main window puts the displays.
    Table table;
    Tprincipale *f = table.fenetre.get();
    const QPoint origine = f->Image14->geometry().topLeft();
    QCOMPARE(f->Image14->size(), QSize(largeurPlateau, hauteurPlateau));
    for (int c = 0; c < nbCagnottes; ++c)
        QCOMPARE(f->afficheurCagnotte(c)->geometry().translated(-origine), tableCagnottes[c].rectAfficheur);
}

// While a result window is up the table is locked; the board must stay the
// picture it is, not a washed-out copy.
void TestImages::plateauVerrouille()
{
    Table table;
    Tprincipale *f = table.fenetre.get();
    const QImage libre = f->Image14->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage dessin = imagePlateau(f->Image14->devicePixelRatioF()).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(libre, dessin);
    f->activerTable(false);
    QVERIFY(!f->Image14->isEnabled());
    QCOMPARE(f->Image14->grab().toImage().convertToFormat(QImage::Format_RGB32), libre);
    f->activerTable(true);
}

// What shows through a card image: its parent where nothing was drawn, the
// fill colour in the corners of a card drawn over a fill, and the parent again
// where the component outgrows its canvas.
void TestImages::toileEtFondDuParent()
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::red);
    parent.setPalette(pal);
    parent.resize(200, 200);
    ImageCarte *image = new ImageCarte(&parent);
    image->setGeometry(10, 10, largeurCarte, hauteurCarte);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    auto pixel = [&](int x, int y) {
        return parent.grab().toImage().pixel(10 + x, 10 + y);
    };
    QCOMPARE(pixel(0, 0), qRgb(255, 0, 0));                  // nothing drawn yet
    image->dessinerCarte(5);
    QCOMPARE(pixel(0, 0), qRgb(255, 0, 0));                  // a card's corner
    image->remplir(QColor(0, 128, 0));
    QCOMPARE(pixel(0, 0), qRgb(0, 128, 0));
    image->dessinerCarte(5);
    QCOMPARE(pixel(0, 0), qRgb(0, 128, 0));                  // the fill, in the corner
    QCOMPARE(pixel(36, 54), image->grab().toImage().pixel(36, 54));
    // Only a covered component may tell the window not to paint its parent
    // under it; the window's repaints trust this.
    QVERIFY(image->testAttribute(Qt::WA_OpaquePaintEvent));
    image->resize(largeurCarte + 20, hauteurCarte);
    QVERIFY(!image->testAttribute(Qt::WA_OpaquePaintEvent));
    QCOMPARE(pixel(largeurCarte + 10, 50), qRgb(255, 0, 0)); // beyond the canvas
    QCOMPARE(pixel(0, 0), qRgb(0, 128, 0));
    ImageCarte seule(&parent);
    seule.dessinerCarte(7);
    QVERIFY(!seule.testAttribute(Qt::WA_OpaquePaintEvent));   // corners of a card alone
}

void TestImages::icone()
{
    const QIcon i = iconeJeu();
    const QList<QSize> tailles = i.availableSizes();
    for (int cote : {16, 32, 48, 64, 128, 256}) {
        QVERIFY2(tailles.contains(QSize(cote, cote)), qPrintable(QString::number(cote)));
        const QImage img = image(imageIcone(cote));
        QCOMPARE(img.size(), QSize(cote, cote));
        // the window's icon, prepared at build time, is the one drawn now
        QCOMPARE(image(i.pixmap(QSize(cote, cote))), img);
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);                 // rounded tile
        QCOMPARE(qAlpha(img.pixel(cote / 2, cote / 2)), 255);
    }
}

void TestImages::dessinsPrets_data()
{
    QTest::addColumn<QString>("quoi");
    QTest::addColumn<qreal>("dpr");
    for (qreal dpr : {1.0, 2.0}) {
        QTest::newRow(qPrintable(QStringLiteral("plateau %1×").arg(dpr))) << "plateau" << dpr;
        QTest::newRow(qPrintable(QStringLiteral("splash %1×").arg(dpr))) << "splash" << dpr;
    }
}

// The pictures embedded at build time are exactly what the drawing code draws
// now: a stale or damaged picture would show here.
void TestImages::dessinsPrets()
{
    QFETCH(QString, quoi);
    QFETCH(qreal, dpr);
    const QPixmap pret = imagePrete(qPrintable(quoi), dpr);
    QVERIFY(!pret.isNull());
    QCOMPARE(pret.devicePixelRatio(), dpr);
    const QImage dessine = quoi == "plateau" ? dessinerPlateau(dpr) : dessinerSplash(dpr);
    QCOMPARE(pret.toImage().convertToFormat(QImage::Format_RGB32), dessine.convertToFormat(QImage::Format_RGB32));
    QVERIFY(imagePrete(qPrintable(quoi), 1.5).isNull());
}

void TestImages::imageBruteAllerRetour_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("RGB32") << int(QImage::Format_RGB32);
    QTest::newRow("ARGB32 prémultiplié") << int(QImage::Format_ARGB32_Premultiplied);
}

void TestImages::imageBruteAllerRetour()
{
    QFETCH(int, format);
    QImage img(37, 11, QImage::Format(format));   // odd sizes: no row padding may creep in
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qPremultiply(qRgba(x * 7, y * 23, (x * y) & 255, format == QImage::Format_RGB32 ? 255 : (x * 5) & 255)));
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("image.brute"));
    QVERIFY(imagebrute::ecrire(img, chemin));
    QCOMPARE(QFileInfo(chemin).size(), 16 + 37 * 11 * 4);
    const QImage lue = imagebrute::lire(chemin);
    QCOMPARE(lue.format(), img.format());
    QCOMPARE(lue, img);
    // the image stays valid and can be changed once the reader is done
    QImage modifiee = lue;
    modifiee.setPixel(0, 0, qRgb(1, 2, 3));
    QCOMPARE(lue, img);
}

void TestImages::imageBruteMalFormee_data()
{
    QTest::addColumn<QByteArray>("contenu");
    auto entete = [](const char *sig, quint32 l, quint32 h, quint32 f) {
        QByteArray d(16, '\0');
        memcpy(d.data(), sig, 4);
        qToLittleEndian<quint32>(l, d.data() + 4);
        qToLittleEndian<quint32>(h, d.data() + 8);
        qToLittleEndian<quint32>(f, d.data() + 12);
        return d;
    };
    const quint32 rgb = QImage::Format_RGB32;
    QTest::newRow("vide") << QByteArray();
    QTest::newRow("en-tête tronqué") << entete("MVIM", 2, 2, rgb).left(12);
    QTest::newRow("mauvaise signature") << entete("PNG ", 2, 2, rgb) + QByteArray(16, 'x');
    QTest::newRow("pixels manquants") << entete("MVIM", 2, 2, rgb) + QByteArray(15, 'x');
    QTest::newRow("pixels en trop") << entete("MVIM", 2, 2, rgb) + QByteArray(17, 'x');
    QTest::newRow("largeur nulle") << entete("MVIM", 0, 2, rgb);
    QTest::newRow("format 8 bits") << entete("MVIM", 2, 2, QImage::Format_Grayscale8) + QByteArray(16, 'x');
    QTest::newRow("format inconnu") << entete("MVIM", 1, 1, 9999) + QByteArray(4, 'x');
    // 65536 x 65536 x 4 is 0 in 32-bit arithmetic: must not pass for an empty picture
    QTest::newRow("taille qui déborde") << entete("MVIM", 65536, 65536, rgb);
}

void TestImages::imageBruteMalFormee()
{
    QFETCH(QByteArray, contenu);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("image.brute"));
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenu);
    f.close();
    QVERIFY(imagebrute::lire(chemin).isNull());
    QVERIFY(imagebrute::lire(dossier.filePath(QStringLiteral("absente"))).isNull());
    QVERIFY(!imagebrute::ecrire(QImage(2, 2, QImage::Format_Grayscale8), chemin));
}

QTEST_MAIN(TestImages)
#include "test_images.moc"
