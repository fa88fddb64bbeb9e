// The main window as the program opens it: start values, controls, layout,
// centring, the level menu, the quit question, the displays.
#include <QtTest>
#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include "support/table.h"
#include "ui/Splash_Unit.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"
#include "ui/imagefixe.h"
#include "ui/images.h"
#include "ui/style.h"

class TestFenetrePrincipale : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void valeursDeDepart();
    void etatsDeDepartDesControles();
    void geometrie_data();
    void geometrie();
    void mainSuperposee();
    void centrageSurLaFenetreMontree();
    void menuNiveauRevientANormal();
    void difficileCacheLesCompteurs();
    void questionPourQuitter_data();
    void questionPourQuitter();
    void afficheursNeCoupentPasLesNombres_data();
    void afficheursNeCoupentPasLesNombres();
    void zoneDeJeuDessineeEtEffacee();
    void splashCentre();

private:
    std::unique_ptr<Table> table;
    Tprincipale *f() { return table->fenetre.get(); }
};

void TestFenetrePrincipale::init()
{
    table = std::make_unique<Table>();
}

void TestFenetrePrincipale::cleanup()
{
    table.reset();
}

void TestFenetrePrincipale::valeursDeDepart()
{
    GameState attendu{};
    attendu.carteJouee = 53;
    QCOMPARE(etat, attendu);
    QVERIFY(!partieEnCours);
    QVERIFY(!mancheFinie);
    QVERIFY(!f()->partieTerminee);
    for (Afficheur *a : {f()->LCDNumber1, f()->LCDNumber2, f()->LCDNumber3, f()->LCDNumber4, f()->LCDNumber9,
                         f()->LCDNumber10, f()->LCDNumber11, f()->LCDNumber12, f()->LCDNumber13})
        QCOMPARE(a->texte(), QStringLiteral("0"));
    for (Afficheur *a : {f()->LCDNumber5, f()->LCDNumber6, f()->LCDNumber7, f()->LCDNumber8})
        QCOMPARE(a->texte(), QStringLiteral("12"));
    QCOMPARE(f()->imagesMain.size(), 12);
    for (int k = 0; k < 12; ++k) {
        QCOMPARE(f()->imagesMain[k]->objectName(), QStringLiteral("Image%1").arg(k + 1));
        QVERIFY(f()->imagesMain[k]->isHidden());
        QVERIFY(f()->imagesMain[k]->isEnabled());
        QCOMPARE(f()->imagesMain[k]->carte(), 0);
    }
    QCOMPARE(f()->Image13->carte(), 0);
    QCOMPARE(f()->affichagesTresor, (QList<Afficheur *>{f()->LCDNumber1, f()->LCDNumber2, f()->LCDNumber3, f()->LCDNumber4}));
    QCOMPARE(f()->affichagesCartes, (QList<Afficheur *>{f()->LCDNumber5, f()->LCDNumber6, f()->LCDNumber7, f()->LCDNumber8}));
    QCOMPARE(f()->windowTitle(), QStringLiteral("Merle Vert"));
}

void TestFenetrePrincipale::etatsDeDepartDesControles()
{
    // Only "Nouvelle partie", "Charger partie" and "Meilleur Score" can be pressed.
    QVERIFY(f()->Button1->isEnabled());
    QVERIFY(f()->Button3->isEnabled());
    QVERIFY(f()->Button7->isEnabled());
    QVERIFY(!f()->Button2->isEnabled());
    QVERIFY(!f()->Button4->isEnabled());
    QVERIFY(!f()->Button5->isEnabled());
    QVERIFY(!f()->Button6->isEnabled());
    QCOMPARE(f()->Button4->text(), QString());
    QVERIFY(f()->Button4->isDefault());
    QCOMPARE(f()->Button1->text(), QStringLiteral("&Nouvelle partie"));
    QCOMPARE(f()->Button3->text(), QStringLiteral("&Charger partie"));
    QCOMPARE(f()->Button6->text(), QStringLiteral("&Sauvegarder une partie"));
    QCOMPARE(f()->Button7->text(), QStringLiteral("&Meilleur Score"));
    QCOMPARE(f()->Button2->text(), QStringLiteral("&Distribuer"));
    QCOMPARE(f()->Button5->text(), QStringLiteral("Carte qui prend"));
    QVERIFY(f()->Son->isChecked());
    QVERIFY(f()->GroupBox6->isVisible());
    QVERIFY(f()->Normal1->isChecked());
    QVERIFY(!f()->Difficile1->isChecked());
    QVERIFY(!f()->Sauvegarderunepartie1->isEnabled());
    for (QAction *a : {f()->NouvellePartie1, f()->Chargerunepartie1, f()->Effacer1, f()->Voir1, f()->Quitter1,
                       f()->Normal1, f()->Difficile1, f()->Sommaire1, f()->Rgledujeu1, f()->Commentjouer1,
                       f()->Apropos1})
        QVERIFY2(a->isEnabled(), qPrintable(a->text()));
    QVERIFY(f()->Fichier->isEnabled());
    QVERIFY(f()->N1->isSeparator());
    // Menu captions, in order.
    QStringList fichier;
    for (QAction *a : f()->Fichier->actions())
        fichier << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(fichier, (QStringList{"&Nouvelle Partie", "&Charger une partie", "&Sauvegarder une partie", "-",
                                   "&Score...", "&Quitter"}));
    QCOMPARE(f()->Score1->actions(), (QList<QAction *>{f()->Effacer1, f()->Voir1}));
    QStringList barre;
    for (QAction *a : f()->MainMenu1->actions())
        barre << a->text();
    QCOMPARE(barre, (QStringList{"&Fichier", "&Niveau", "&Aide"}));
    QCOMPARE(f()->Rgledujeu1->text(), QStringLiteral("&Règle du jeu"));
    QCOMPARE(f()->Apropos1->text(), QStringLiteral("A &propos"));
    // Keyboard order on the panel.
    QWidget *ordre[] = {f()->Button1, f()->Button3, f()->Button6, f()->Button7, f()->Button2, f()->Button4,
                        f()->Button5, f()->Son};
    for (size_t i = 1; i < std::size(ordre); ++i) {
        QWidget *suivant = ordre[i - 1]->nextInFocusChain();
        while (suivant->focusPolicy() == Qt::NoFocus && suivant != ordre[i])
            suivant = suivant->nextInFocusChain();
        QCOMPARE(suivant, ordre[i]);
    }
    // Dialog titles and filters used by the file commands.
    QCOMPARE(f()->OpenDialog1, nullptr);   // built on first use
    QCOMPARE(f()->dialogueOuvrir().windowTitle(), QStringLiteral("Open"));
    QCOMPARE(f()->dialogueSauver().windowTitle(), QStringLiteral("Save As"));
    QCOMPARE(f()->dialogueSauver().nameFilters(), QStringList{QStringLiteral("Sauvegarde (*.svgMv)")});
    QCOMPARE(&f()->dialogueOuvrir(), f()->OpenDialog1);   // and only once
}

void TestFenetrePrincipale::geometrie_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QRect>("attendu");
    QTest::newRow("Image14") << "Image14" << QRect(8, 8, 425, 425);
    QTest::newRow("Bevel3") << "Bevel3" << QRect(8, 8, 425, 425);
    QTest::newRow("LCDNumber10") << "LCDNumber10" << QRect(24, 176, 68, 30);
    QTest::newRow("LCDNumber12") << "LCDNumber12" << QRect(24, 236, 68, 30);
    QTest::newRow("LCDNumber13") << "LCDNumber13" << QRect(219, 204, 68, 30);
    QTest::newRow("LCDNumber9") << "LCDNumber9" << QRect(336, 176, 68, 30);
    QTest::newRow("LCDNumber11") << "LCDNumber11" << QRect(336, 234, 68, 30);
    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(448, 8, 137, 273);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(16, 16, 105, 57);
    QTest::newRow("GroupBox5") << "GroupBox5" << QRect(16, 208, 105, 57);
    QTest::newRow("LCDNumber1") << "LCDNumber1" << QRect(8, 24, 89, 25);
    QTest::newRow("GroupBox6") << "GroupBox6" << QRect(592, 8, 137, 273);
    QTest::newRow("GroupBox7") << "GroupBox7" << QRect(8, 16, 121, 57);
    QTest::newRow("GroupBox10") << "GroupBox10" << QRect(8, 208, 121, 57);
    QTest::newRow("LCDNumber8") << "LCDNumber8" << QRect(8, 24, 105, 25);
    QTest::newRow("GroupBox11") << "GroupBox11" << QRect(616, 320, 89, 137);
    QTest::newRow("Image13") << "Image13" << QRect(9, 21, 72, 108);
    QTest::newRow("Button1") << "Button1" << QRect(448, 296, 145, 25);
    QTest::newRow("Button3") << "Button3" << QRect(448, 328, 145, 25);
    QTest::newRow("Button6") << "Button6" << QRect(448, 360, 145, 25);
    QTest::newRow("Button7") << "Button7" << QRect(448, 390, 145, 25);
    QTest::newRow("Button2") << "Button2" << QRect(448, 420, 145, 25);
    QTest::newRow("Button4") << "Button4" << QRect(448, 450, 145, 25);
    QTest::newRow("Button5") << "Button5" << QRect(448, 480, 145, 25);
    QTest::newRow("Son") << "Son" << QRect(640, 288, 49, 30);
    QTest::newRow("Image1") << "Image1" << QRect(9, 445, 72, 71);
    QTest::newRow("Image12") << "Image12" << QRect(9 + 32 * 11, 445, 72, 71);
}

void TestFenetrePrincipale::geometrie()
{
    QFETCH(QString, nom);
    QFETCH(QRect, attendu);
    QHash<QString, QWidget *> composants{
        {"Image14", f()->Image14},         {"Bevel3", f()->Bevel3},           {"LCDNumber10", f()->LCDNumber10},
        {"LCDNumber12", f()->LCDNumber12}, {"LCDNumber13", f()->LCDNumber13}, {"LCDNumber9", f()->LCDNumber9},
        {"LCDNumber11", f()->LCDNumber11}, {"GroupBox1", f()->GroupBox1},     {"GroupBox2", f()->GroupBox2},
        {"GroupBox5", f()->GroupBox5},     {"LCDNumber1", f()->LCDNumber1},   {"GroupBox6", f()->GroupBox6},
        {"GroupBox7", f()->GroupBox7},     {"GroupBox10", f()->GroupBox10},   {"LCDNumber8", f()->LCDNumber8},
        {"GroupBox11", f()->GroupBox11},   {"Image13", f()->Image13},         {"Button1", f()->Button1},
        {"Button3", f()->Button3},         {"Button6", f()->Button6},         {"Button7", f()->Button7},
        {"Button2", f()->Button2},         {"Button4", f()->Button4},         {"Button5", f()->Button5},
        {"Son", f()->Son},                 {"Image1", f()->Image1},           {"Image12", f()->Image12},
    };
    QWidget *w = composants.value(nom);
    QVERIFY(w);
    QCOMPARE(w->geometry(), attendu);
    QCOMPARE(f()->Panel1->size(), QSize(737, 516));
}

void TestFenetrePrincipale::mainSuperposee()
{
    // Each hand image lies over the one to its left: a point in the 40 pixels
    // Image4 and Image5 share belongs to Image5, and Image12 is on top.
    for (ImageCarte *i : f()->imagesMain)
        i->show();
    const QPoint communAuxDeux = f()->Image5->geometry().topLeft() + QPoint(5, 30);
    QCOMPARE(f()->Panel1->childAt(communAuxDeux), f()->Image5);
    f()->Image5->hide();
    QCOMPARE(f()->Panel1->childAt(communAuxDeux), f()->Image4);
    const QPoint finDeImage11 = f()->Image11->geometry().topLeft() + QPoint(70, 30);
    QCOMPARE(f()->Panel1->childAt(finDeImage11), f()->Image12);
}

void TestFenetrePrincipale::centrageSurLaFenetreMontree()
{
    Tprincipale *w = f();
    w->setWindowState(Qt::WindowNoState);
    for (int largeur : {700, 900}) {
        w->resize(largeur, 650);
        QTRY_COMPARE(w->width(), largeur);
        QCOMPARE(w->Panel1->x(), (largeur - 737) / 2);
        QCOMPARE(w->Panel1->y(), (w->centralWidget()->height() - 516) / 2);
        QCOMPARE(w->Panel1->size(), QSize(737, 516));
    }
}

void TestFenetrePrincipale::menuNiveauRevientANormal()
{
    f()->Difficile1->trigger();
    QVERIFY(f()->Difficile1->isChecked());
    QVERIFY(f()->GroupBox6->isHidden());
    // Opening the menu, even while its items are disabled during a round,
    // makes Normal the level and shows the card counts again.
    f()->Normal1->setEnabled(false);
    f()->Difficile1->setEnabled(false);
    f()->Niveau1->popup(f()->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(f()->Niveau1->isVisible());
    QVERIFY(f()->Normal1->isChecked());
    QVERIFY(!f()->Difficile1->isChecked());
    QVERIFY(f()->GroupBox6->isVisible());
    f()->Niveau1->close();
    // Choosing Normal when it is already checked keeps it checked.
    f()->Normal1->setEnabled(true);
    f()->Normal1->trigger();
    QVERIFY(f()->Normal1->isChecked());
}

void TestFenetrePrincipale::difficileCacheLesCompteurs()
{
    QList<QWidget *> visibles;
    for (QWidget *w : f()->Panel1->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible() && w != f()->GroupBox6)
            visibles << w;
    f()->Difficile1->trigger();
    QVERIFY(f()->GroupBox6->isHidden());
    QVERIFY(f()->Difficile1->isChecked());
    QVERIFY(!f()->Normal1->isChecked());
    for (QWidget *w : visibles)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(f()->GroupBox1->isVisible());
    // Choosing it again keeps it checked.
    f()->Difficile1->trigger();
    QVERIFY(f()->Difficile1->isChecked());
}

void TestFenetrePrincipale::questionPourQuitter_data()
{
    QTest::addColumn<bool>("parLeMenu");
    QTest::addColumn<bool>("oui");
    QTest::newRow("menu, non") << true << false;
    QTest::newRow("menu, oui") << true << true;
    QTest::newRow("case de fermeture, non") << false << false;
    QTest::newRow("case de fermeture, oui") << false << true;
}

void TestFenetrePrincipale::questionPourQuitter()
{
    QFETCH(bool, parLeMenu);
    QFETCH(bool, oui);
    DoublePlateforme *d = table->plateforme;
    d->oublier();   // the start-up's own box (no best-score file here)
    etat.tresor[0] = 1234;
    const GameState avant = etat;
    d->reponses.enqueue(oui);
    if (parLeMenu)
        f()->Quitter1->trigger();
    else
        QCOMPARE(f()->close(), oui);
    QCOMPARE(d->boites, (QList<Boite>{{Boite::Confirmation, QStringLiteral("Voulez-vous vraiement quitter ?")}}));
    QCOMPARE(d->terminaisons, oui ? 1 : 0);
    QCOMPARE(etat, avant);
    if (!oui) {
        QVERIFY(f()->isVisible());
        // The same question comes again at the next request.
        d->reponses.enqueue(false);
        f()->close();
        QCOMPARE(d->boites.size(), 2);
        QVERIFY(f()->isVisible());
    }
}

void TestFenetrePrincipale::afficheursNeCoupentPasLesNombres_data()
{
    QTest::addColumn<int>("chiffres");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("chiffresAffiches");
    QTest::newRow("pot 999") << 3 << "999" << 3;
    QTest::newRow("pot 1000") << 3 << "1000" << 4;
    QTest::newRow("pot -50") << 3 << "-50" << 3;
    QTest::newRow("argent 9999") << 4 << "9999" << 4;
    QTest::newRow("argent 10000") << 4 << "10000" << 5;
    QTest::newRow("argent -1000") << 4 << "-1000" << 5;
    QTest::newRow("argent extrême") << 4 << "-2147483648" << 11;
}

void TestFenetrePrincipale::afficheursNeCoupentPasLesNombres()
{
    QFETCH(int, chiffres);
    QFETCH(QString, texte);
    QFETCH(int, chiffresAffiches);
    Afficheur a(chiffres);
    a.afficher(QStringLiteral("123456789012"));   // a long value first, then back
    a.afficher(texte);
    QCOMPARE(a.texte(), texte);
    QCOMPARE(a.toolTip(), texte);
    QCOMPARE(a.digitCount(), chiffresAffiches);
    QVERIFY(!a.checkOverflow(texte.toDouble()));
    QCOMPARE(a.value(), texte.toDouble());
}

void TestFenetrePrincipale::zoneDeJeuDessineeEtEffacee()
{
    const auto couleurs = [](const QImage &img) {
        QSet<QRgb> c;
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); x += 3)
                c.insert(img.pixel(x, y));
        return c;
    };
    f()->Image13->dessinerCarte(20);
    QCOMPARE(f()->Image13->carte(), 20);
    QVERIFY(couleurs(f()->Image13->grab().toImage()).size() > 3);
    f()->effacerZoneDeJeu();
    const QSet<QRgb> vert = couleurs(f()->Image13->grab().toImage());
    QCOMPARE(vert, (QSet<QRgb>{QColor(0, 128, 0).rgb()}));
    // A hand image shows the top 71 rows of the card.
    f()->Image3->dessinerCarte(20);
    f()->Image3->show();
    QCOMPARE(f()->Image3->grab().size(), QSize(72, 71));
}

void TestFenetrePrincipale::splashCentre()
{
    QCOMPARE(style::centre(QRect(0, 0, 1024, 768), QSize(514, 250)), QPoint(255, 259));
    TSplash s;
    s.show();
    const QRect ecran = QGuiApplication::primaryScreen()->virtualGeometry();
    QCOMPARE(s.geometry(), QRect(style::centre(ecran, QSize(514, 250)), QSize(514, 250)));
    QVERIFY(s.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!s.Image1->pixmap().isNull());
    QCOMPARE(s.Image1->geometry(), QRect(0, 0, 514, 250));
}

QTEST_MAIN(TestFenetrePrincipale)
#include "test_fenetre_principale.moc"
