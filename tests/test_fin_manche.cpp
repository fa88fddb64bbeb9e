// The end-of-round window: layout, the talon pictures, the lock it holds on
// the main window, and its close in every way it can close.
#include <QtTest>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include "support/table.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"
#include "ui/style.h"

class TestFinManche : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void talonDeGaucheADroite();
    void fenetreEtMiseEnPage();
    void policesEtCouleurs();
    void positionCentree_data();
    void positionCentree();
    void centreeSurEcran();
    void fermeture_data();
    void fermeture();
    void fermetureUneSeuleFois();
    void tableVerrouillee();
    void menusPendantLaFenetre();

private:
    // A round won by seat 2: the human keeps a 9, the window opens.
    void ouvrir();
};

void TestFinManche::init()
{
    poserTable();
}

void TestFinManche::cleanup()
{
    leverTable();
    QVERIFY(finmanche.isNull());
}

void TestFinManche::ouvrir()
{
    viderLesMains({9, 51});     // the queen of spades is charged at the close
    for (int p = 0; p < nbCagnottes; ++p)
        etat.cagnottes[p] = 4 * tableCagnottes[p].mise;
    f->afficherTresors();
    f->Button2->setEnabled(false);
    f->imagesMain[0]->setEnabled(true);
    f->imagesMain[0]->show();
    f->finMancheOrdinateur(2);
    QVERIFY(!finmanche.isNull());
}

void TestFinManche::talonDeGaucheADroite()
{
    ouvrir();
    QVERIFY(QTest::qWaitForWindowExposed(finmanche));
    QList<ImageCarte *> images = {finmanche->Image1, finmanche->Image2, finmanche->Image3, finmanche->Image4};
    for (ImageCarte *i : images)
        QCOMPARE(i->parentWidget(), finmanche->GroupBox1);
    std::sort(images.begin(), images.end(), [](ImageCarte *a, ImageCarte *b) { return a->x() < b->x(); });
    QList<int> cartes;
    QList<int> gauches;
    for (ImageCarte *i : images) {
        cartes << i->carte();
        gauches << i->x();
        QCOMPARE(i->size(), QSize(72, 108));
        QCOMPARE(i->y(), 21);
    }
    QCOMPARE(cartes, QList<int>({5, 47, 18, 33}));
    QCOMPARE(gauches, QList<int>({9, 89, 169, 249}));
    QCOMPARE(images.first(), finmanche->Image1);
    // The card is really on screen, not only recorded.
    const QImage vue = finmanche->GroupBox1->grab().toImage();
    QVERIFY(vue.pixelColor(9 + 36, 21 + 54) != QColor(0, 128, 0));
}

void TestFinManche::fenetreEtMiseEnPage()
{
    ouvrir();
    Tfinmanche *w = finmanche;
    QVERIFY(w->isVisible());
    QVERIFY(!w->isModal());
    QCOMPARE(w->parentWidget(), f);
    QVERIFY(w->isWindow());
    QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->size(), QSize(560, 351));
    QCOMPARE(w->minimumSize(), QSize(560, 351));
    QCOMPARE(w->maximumSize(), QSize(560, 351));
    QCOMPARE(w->Label1->geometry(), QRect(8, 8, 550, 20));
    QCOMPARE(w->Label2->geometry(), QRect(8, 200, 550, 18));
    QCOMPARE(w->Label3->geometry(), QRect(8, 216, 550, 18));
    QCOMPARE(w->Label4->geometry(), QRect(8, 232, 550, 18));
    QCOMPARE(w->Label5->geometry(), QRect(112, 288, 441, 20));
    QCOMPARE(w->GroupBox1->geometry(), QRect(8, 40, 329, 137));
    QCOMPARE(w->GroupBox1->title(), QStringLiteral("Talon :"));
    QCOMPARE(w->Button1->geometry(), QRect(432, 320, 81, 25));
    QCOMPARE(w->Button1->text(), QStringLiteral("Ok"));
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget() : w->focusWidget(), w->Button1);
    QVERIFY(w->ListBox1->isHidden());
    QCOMPARE(w->ListBox1->geometry(), QRect(384, 88, 145, 105));
    QVERIFY(!w->windowIcon().isNull());
}

void TestFinManche::policesEtCouleurs()
{
    ouvrir();
    Tfinmanche *w = finmanche;
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 128, 0));
    QCOMPARE(w->grab().toImage().pixelColor(400, 60), QColor(0, 128, 0));
    struct Attendu {
        QWidget *composant;
        int hauteur;
        bool italique;
        QColor couleur;
    };
    const Attendu attendus[] = {
        {w->Label1, 16, true, QColor(0, 255, 0)},  {w->GroupBox1, 13, false, QColor(0, 255, 0)},
        {w->Label2, 11, false, Qt::white},         {w->Label3, 11, false, Qt::white},
        {w->Label4, 11, false, Qt::white},         {w->Label5, 16, true, QColor(0, 0, 128)},
    };
    for (const Attendu &a : attendus) {
        QCOMPARE(a.composant->font().pixelSize(), a.hauteur);
        QCOMPARE(a.composant->font().italic(), a.italique);
        QCOMPARE(a.composant->palette().color(QPalette::WindowText), a.couleur);
    }
    QCOMPARE(w->Button1->palette().color(QPalette::Button), QColor(0x55, 0xAA, 0x00));
    QCOMPARE(w->Button1->palette().color(QPalette::ButtonText), QColor(Qt::white));
    QCOMPARE(w->Button1->font().pixelSize(), 11);
}

void TestFinManche::positionCentree_data()
{
    QTest::addColumn<QSize>("ecran");
    QTest::addColumn<QSize>("fenetre");
    QTest::addColumn<QPoint>("attendu");
    QTest::newRow("1280 x 800") << QSize(1280, 800) << QSize(560, 351) << QPoint(360, 224);
    QTest::newRow("1024 x 768") << QSize(1024, 768) << QSize(560, 351) << QPoint(232, 208);
    QTest::newRow("impair") << QSize(1365, 767) << QSize(560, 351) << QPoint(402, 208);
    // Truncation toward zero: (300 - 351) / 2 is -25, not -26.
    QTest::newRow("écran plus petit") << QSize(500, 300) << QSize(560, 351) << QPoint(-30, -25);
    // The main window's panel in the window.
    QTest::newRow("panneau, 700") << QSize(700, 600) << QSize(737, 516) << QPoint(-18, 42);
    QTest::newRow("panneau, 900") << QSize(900, 600) << QSize(737, 516) << QPoint(81, 42);
    QTest::newRow("panneau, 737") << QSize(737, 600) << QSize(737, 516) << QPoint(0, 42);
    QTest::newRow("panneau, 1280") << QSize(1280, 600) << QSize(737, 516) << QPoint(271, 42);
    // The end-of-game window.
    QTest::newRow("1920 x 1080, fin de partie") << QSize(1920, 1080) << QSize(547, 158) << QPoint(686, 461);
    QTest::newRow("juste la taille") << QSize(547, 158) << QSize(547, 158) << QPoint(0, 0);
    // (-1) / 2 truncates toward zero.
    QTest::newRow("un pixel de moins") << QSize(546, 157) << QSize(547, 158) << QPoint(0, 0);
    QTest::newRow("trois pixels de moins") << QSize(544, 155) << QSize(547, 158) << QPoint(-1, -1);
}

void TestFinManche::positionCentree()
{
    QFETCH(QSize, ecran);
    QFETCH(QSize, fenetre);
    QFETCH(QPoint, attendu);
    QCOMPARE(style::centre(QRect(QPoint(0, 0), ecran), fenetre), attendu);
    // A second screen beside the first: centred on that one.
    QCOMPARE(style::centre(QRect(QPoint(1920, 0), ecran), fenetre), attendu + QPoint(1920, 0));
}

void TestFinManche::centreeSurEcran()
{
    f->move(0, 0);
    ouvrir();
    const QRect zone = f->screen()->geometry();
    QCOMPARE(finmanche->pos(), zone.topLeft() + QPoint((zone.width() - 560) / 2, (zone.height() - 351) / 2));
}

void TestFinManche::fermeture_data()
{
    QTest::addColumn<QString>("maniere");
    QTest::newRow("Ok") << QStringLiteral("ok");
    QTest::newRow("case de fermeture") << QStringLiteral("croix");
    QTest::newRow("Échap") << QStringLiteral("echap");
}

void TestFinManche::fermeture()
{
    QFETCH(QString, maniere);
    ouvrir();
    QVERIFY(QTest::qWaitForWindowExposed(finmanche));
    QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("1000"));
    if (maniere == QLatin1String("ok"))
        QTest::mouseClick(finmanche->Button1, Qt::LeftButton);
    else if (maniere == QLatin1String("croix"))
        finmanche->close();
    else
        QTest::keyClick(finmanche, Qt::Key_Escape);
    laisserDetruire();
    QVERIFY(finmanche.isNull());
    // The close sequence ran: penalty, money shown, table given back.
    QCOMPARE(d->textes(), QStringList{QStringLiteral("Vous aviez la dame qui prend")});
    QCOMPARE(etat.tresor[0], 1000 - 210 - 120);
    QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("670"));
    QCOMPARE(f->LCDNumber2->texte(), QStringLiteral("1210"));
    QCOMPARE(etat.cagnottes[4], 240);
    QVERIFY(f->Panel1->isEnabled());
    QVERIFY(f->Fichier->menuAction()->isEnabled());
    QVERIFY(f->Button2->isEnabled());
    QVERIFY(!f->imagesMain[0]->isEnabled());
}

void TestFinManche::fermetureUneSeuleFois()
{
    ouvrir();
    QPointer<Tfinmanche> w = finmanche;
    w->close();
    if (w)
        w->close();
    if (w)
        w->reject();
    laisserDetruire();
    QVERIFY(w.isNull());
    QCOMPARE(d->boites.size(), 1);
    QCOMPARE(etat.cagnottes[4], 240);
}

void TestFinManche::tableVerrouillee()
{
    ouvrir();
    QVERIFY(QTest::qWaitForWindowExposed(finmanche));
    QVERIFY(!f->Panel1->isEnabled());
    const GameState avant = etat;
    // "Nouvelle partie", "Meilleur Score" and a card of the hand do nothing.
    partieEnCours = false;
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QTest::mouseClick(f->Button7, Qt::LeftButton);
    QTest::mouseClick(f->imagesMain[0], Qt::LeftButton);
    QCOMPARE(etat, avant);
    QVERIFY(d->boites.isEmpty());
    QVERIFY(f->imagesMain[0]->isVisible());
    // The "Fichier" menu does not open from the menu bar.
    QVERIFY(!f->Fichier->menuAction()->isEnabled());
    const QRect titre = f->MainMenu1->actionGeometry(f->Fichier->menuAction());
    QTest::mouseClick(f->MainMenu1, Qt::LeftButton, {}, titre.center());
    QVERIFY(!f->Fichier->isVisible());
    QVERIFY(!finmanche.isNull());
}

void TestFinManche::menusPendantLaFenetre()
{
    ouvrir();
    QVERIFY(QTest::qWaitForWindowExposed(finmanche));
    QVERIFY(f->Niveau1->menuAction()->isEnabled());
    QVERIFY(f->Aide1->menuAction()->isEnabled());
    // The level can be changed while the window is open.
    f->Difficile1->setEnabled(true);
    f->Difficile1->trigger();
    QVERIFY(f->Difficile1->isChecked());
    const QRect titre = f->MainMenu1->actionGeometry(f->Niveau1->menuAction());
    QTest::mouseClick(f->MainMenu1, Qt::LeftButton, {}, titre.center());
    QTRY_VERIFY(f->Niveau1->isVisible());
    f->Niveau1->close();
    QVERIFY(f->Normal1->isChecked());   // opening the menu sets Normal, as always
}

QTEST_MAIN(TestFinManche)
#include "test_fin_manche.moc"
