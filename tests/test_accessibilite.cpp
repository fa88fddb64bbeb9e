// What a screen reader and the keyboard get from the windows: the card names,
// the names and amounts of the displays read back through QAccessible, the
// tooltips, and the keyboard accelerators of every button and menu item.
#include <QtTest>
#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include "support/table.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "platform/plateforme.h"
#include "ui/jg.h"

namespace {

QString lire(QWidget *w, QAccessible::Text t)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(t) : QStringLiteral("<pas d'interface>");
}

QString nom(QWidget *w)
{
    return lire(w, QAccessible::Name);
}

// One control that may carry an accelerator: who it is and its caption.
struct Legende {
    QString qui;
    QString texte;
};

// Every caption of a group has its own accelerator letter, except those
// listed without one and the letters listed as shared (letter -> who).
QString verifierAccelerateurs(const QString &groupe, const QList<Legende> &legendes,
                              const QSet<QString> &sansAccelerateur,
                              const QMap<QString, QStringList> &partages)
{
    QMap<QString, QStringList> parTouche;
    for (const Legende &l : legendes) {
        const QString touche = QKeySequence::mnemonic(l.texte).toString();
        if (touche.isEmpty() != sansAccelerateur.contains(l.qui))
            return QStringLiteral("%1 : %2 (\"%3\") %4 d'accélérateur")
                .arg(groupe, l.qui, l.texte,
                     touche.isEmpty() ? QStringLiteral("n'a pas") : QStringLiteral("a maintenant"));
        if (!touche.isEmpty())
            parTouche[touche] << l.qui;
    }
    for (auto it = parTouche.cbegin(); it != parTouche.cend(); ++it) {
        QStringList qui = it.value();
        qui.sort();
        QStringList attendu = partages.value(it.key());
        attendu.sort();
        if (qui.size() > 1 && qui != attendu)
            return QStringLiteral("%1 : %2 partagé par %3").arg(groupe, it.key(), qui.join(QStringLiteral(", ")));
    }
    for (auto it = partages.cbegin(); it != partages.cend(); ++it)
        if (parTouche.value(it.key()).size() < 2)
            return QStringLiteral("%1 : %2 n'est plus partagé").arg(groupe, it.key());
    return QString();
}

QList<Legende> legendesDuMenu(QMenu *menu)
{
    QList<Legende> l;
    for (QAction *a : menu->actions())
        if (!a->isSeparator())
            l.append({a->text(), a->text()});
    return l;
}

} // namespace

class TestAccessibilite : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void nomsDesCartes_data();
    void nomsDesCartes();
    void chaqueCarteSonNom();
    void mainEtZoneDeJeu();
    void jouerParLAcces();
    void afficheurs_data();
    void afficheurs();
    void afficheurSansNom();
    void boitesDeGroupe();
    void boitesDeMessage_data();
    void boitesDeMessage();
    void talon();
    void accelerateurs();
    void accelerateursAuClavier();

private:
    // A new game and a deal led by the human, at the given time of day.
    void donner(int heure);
    void verifierMain();
};

void TestAccessibilite::init()
{
    poserTable();
}

void TestAccessibilite::cleanup()
{
    leverTable();
}

void TestAccessibilite::donner(int heure)
{
    if (partieEnCours)
        d->reponses.enqueue(true);
    f->Button1Click();
    d->heure = heure;
    f->Button2Click();
    QCOMPARE(etat.premierJoueur, 1);
    QCOMPARE(etat.cartesRestantes[0], 12);
}

void TestAccessibilite::verifierMain()
{
    for (int k = 0; k < tailleMain; ++k) {
        ImageCarte *image = f->imagesMain[k];
        const QString attendu = nomCarte(etat.mains[0][k]);
        QVERIFY2(!attendu.isEmpty(), qPrintable(QString::number(k)));
        QCOMPARE(nom(image), attendu);
        QCOMPARE(image->toolTip(), attendu);
        QCOMPARE(lire(image, QAccessible::Description), QStringLiteral("Carte de votre main"));
    }
}

void TestAccessibilite::nomsDesCartes_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("as de trèfle") << 1 << "As de trèfle";
    QTest::newRow("2 de trèfle") << 2 << "2 de trèfle";
    QTest::newRow("valet de trèfle") << 11 << "Valet de trèfle";
    QTest::newRow("roi de trèfle") << 13 << "Roi de trèfle";
    QTest::newRow("as de carreau") << 14 << "As de carreau";
    QTest::newRow("7 de carreau") << 20 << "7 de carreau";
    QTest::newRow("10 de carreau") << 23 << "10 de carreau";
    QTest::newRow("10 de cœur") << 36 << "10 de cœur";
    QTest::newRow("dame de cœur") << 38 << "Dame de cœur";
    QTest::newRow("roi de cœur") << 39 << "Roi de cœur";
    QTest::newRow("as de pique") << 40 << "As de pique";
    QTest::newRow("dame de pique") << 51 << "Dame de pique";
    QTest::newRow("roi de pique") << 52 << "Roi de pique";
    QTest::newRow("emplacement vide") << 0 << "";
    QTest::newRow("zone de jeu vide") << int(aucuneCarte) << "";
    QTest::newRow("négatif") << -1 << "";
    QTest::newRow("au-delà") << 54 << "";
    QTest::newRow("très grand") << 2147483647 << "";
}

void TestAccessibilite::nomsDesCartes()
{
    QFETCH(int, carte);
    QFETCH(QString, attendu);
    QCOMPARE(nomCarte(carte), attendu);
}

void TestAccessibilite::chaqueCarteSonNom()
{
    // 52 different names; each rank reads the same in the four suits, and
    // each suit's thirteen cards end with that suit, in card-number order.
    const QStringList couleurs = {QStringLiteral(" de trèfle"), QStringLiteral(" de carreau"),
                                  QStringLiteral(" de cœur"), QStringLiteral(" de pique")};
    const QStringList rangs = {QStringLiteral("As"), QStringLiteral("2"), QStringLiteral("3"),
                               QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                               QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"),
                               QStringLiteral("10"), QStringLiteral("Valet"), QStringLiteral("Dame"),
                               QStringLiteral("Roi")};
    QSet<QString> vus;
    for (CardNumber n = 1; n <= 52; ++n) {
        const QString attendu = rangs[rang(n) - 1] + couleurs[(n - 1) / 13];
        QCOMPARE(nomCarte(n), attendu);
        vus.insert(nomCarte(n));
    }
    QCOMPARE(vus.size(), 52);
    QVERIFY(nomRang(0).isEmpty() && nomRang(14).isEmpty());
}

void TestAccessibilite::mainEtZoneDeJeu()
{
    // Before any deal: no card anywhere, the play zone named by its role.
    for (ImageCarte *image : f->imagesMain) {
        QCOMPARE(nom(image), QString());
        QCOMPARE(image->toolTip(), QString());
    }
    QCOMPARE(nom(f->Image13), QStringLiteral("Zone de jeu"));
    QCOMPARE(f->Image13->toolTip(), QStringLiteral("Zone de jeu"));

    donner(12 * 3600 * 1000);
    verifierMain();
    QCOMPARE(nom(f->Image13), QStringLiteral("Zone de jeu"));

    // A card laid: its slot no longer names it, the play zone does.
    const int k = 5;
    const CardNumber posee = etat.mains[0][k];
    f->Image1Click(f->imagesMain[k]);
    QCOMPARE(etat.mains[0][k], 0);
    QVERIFY(f->imagesMain[k]->isHidden());
    QCOMPARE(nom(f->imagesMain[k]), QString());
    QCOMPARE(f->imagesMain[k]->toolTip(), QString());
    const QString zone = QStringLiteral("Zone de jeu : ") + nomCarte(posee);
    QCOMPARE(nom(f->Image13), zone);
    QCOMPARE(f->Image13->toolTip(), zone);
    for (int j = 0; j < tailleMain; ++j)
        if (j != k)
            QCOMPARE(nom(f->imagesMain[j]), nomCarte(etat.mains[0][j]));

    // The play zone cleared: back to its role alone.
    f->effacerZoneDeJeu();
    QCOMPARE(nom(f->Image13), QStringLiteral("Zone de jeu"));
    QCOMPARE(f->Image13->toolTip(), QStringLiteral("Zone de jeu"));

    // The next deal renames every slot, the one that was hidden included.
    CardNumber avant[tailleMain];
    std::copy(std::begin(etat.mains[0]), std::end(etat.mains[0]), avant);
    donner(7 * 3600 * 1000 + 123);
    QVERIFY(!std::equal(std::begin(avant), std::end(avant), std::begin(etat.mains[0])));
    QVERIFY(!f->imagesMain[k]->isHidden());
    verifierMain();
}

void TestAccessibilite::jouerParLAcces()
{
    // A hand card is a button a screen reader can press; the play zone and
    // the board's pictures are only pictures.
    QCOMPARE(QAccessible::queryAccessibleInterface(f->Image13)->role(), QAccessible::Graphic);
    QVERIFY(QAccessible::queryAccessibleInterface(f->Image13)->actionInterface()->actionNames().isEmpty());
    donner(12 * 3600 * 1000);
    const int k = 2;
    const CardNumber carte = etat.mains[0][k];
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(f->imagesMain[k]);
    QCOMPARE(i->role(), QAccessible::Button);
    QAccessibleActionInterface *action = i->actionInterface();
    QVERIFY(action);
    QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(etat.mains[0][k], 0);
    QCOMPARE(etat.carteJouee, carte);
    QCOMPARE(etat.cartesRestantes[0], 11);
    QCOMPARE(nom(f->Image13), QStringLiteral("Zone de jeu : ") + nomCarte(carte));

    // Laid, the image is disabled and hidden: nothing left to press.
    QVERIFY(action->actionNames().isEmpty());
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(etat.cartesRestantes[0], 11);
    QVERIFY(d->boites.isEmpty() || d->boites.last().texte != QStringLiteral("La carte n'est pas valide"));
}

void TestAccessibilite::afficheurs_data()
{
    QTest::addColumn<int>("numero");     // LCDNumber<numero>
    QTest::addColumn<QString>("attendu");
    QTest::addColumn<QString>("valeur");
    QTest::newRow("LCDNumber1") << 1 << "Votre trésor" << "1111";
    QTest::newRow("LCDNumber2") << 2 << "Trésor de Moi" << "2222";
    QTest::newRow("LCDNumber3") << 3 << "Trésor de KORBANIGUE" << "3333";
    QTest::newRow("LCDNumber4") << 4 << "Trésor de Orvane BELTRUCQ" << "-44";
    QTest::newRow("LCDNumber5") << 5 << "Vos cartes restantes" << "9";
    QTest::newRow("LCDNumber6") << 6 << "Cartes restantes de Moi" << "8";
    QTest::newRow("LCDNumber7") << 7 << "Cartes restantes de KORBANIGUE" << "7";
    QTest::newRow("LCDNumber8") << 8 << "Cartes restantes de Orvane BELTRUCQ" << "6";
    QTest::newRow("LCDNumber9") << 9 << "Cagnotte de la dame de pique" << "50";
    QTest::newRow("LCDNumber10") << 10 << "Cagnotte du roi de cœur" << "40";
    QTest::newRow("LCDNumber11") << 11 << "Cagnotte du valet de trèfle" << "30";
    QTest::newRow("LCDNumber12") << 12 << "Cagnotte du 10 de carreau" << "20";
    QTest::newRow("LCDNumber13") << 13 << "Cagnotte du 7 de carreau" << "1010";
}

void TestAccessibilite::afficheurs()
{
    QFETCH(int, numero);
    QFETCH(QString, attendu);
    QFETCH(QString, valeur);
    Afficheur *const tous[] = {f->LCDNumber1, f->LCDNumber2, f->LCDNumber3, f->LCDNumber4, f->LCDNumber5,
                               f->LCDNumber6, f->LCDNumber7, f->LCDNumber8, f->LCDNumber9, f->LCDNumber10,
                               f->LCDNumber11, f->LCDNumber12, f->LCDNumber13};
    Afficheur *a = tous[numero - 1];

    // Before any game every display shows its start value.
    const QString depart = numero >= 5 && numero <= 8 ? QStringLiteral("12") : QStringLiteral("0");
    QCOMPARE(nom(a), attendu);
    QCOMPARE(lire(a, QAccessible::Value), depart);
    QCOMPARE(lire(a, QAccessible::Description), depart);

    // Fed through the game's own display operations, each with its own
    // amount, so that a display wired to another seat or pot shows up.
    const int tresors[nbSieges] = {1111, 2222, 3333, -44};
    const int cagnottes[nbCagnottes] = {1010, 20, 30, 40, 50};
    const int cartes[nbSieges] = {9, 8, 7, 6};
    std::copy(std::begin(tresors), std::end(tresors), etat.tresor);
    std::copy(std::begin(cagnottes), std::end(cagnottes), etat.cagnottes);
    f->afficherTresors();
    for (int p = 0; p < nbCagnottes; ++p)
        f->afficherCagnotte(p);
    for (int s = 0; s < nbSieges; ++s)
        f->affichagesCartes[s]->afficher(cartes[s]);

    QCOMPARE(nom(a), attendu);
    QCOMPARE(lire(a, QAccessible::Value), valeur);
    QCOMPARE(lire(a, QAccessible::Description), valeur);
    QCOMPARE(a->toolTip(), attendu + QStringLiteral(" : ") + valeur);

    // The role is read as text, not as the toolkit's nameless number.
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(a);
    QCOMPARE(i->role(), QAccessible::StaticText);
}

void TestAccessibilite::boitesDeGroupe()
{
    // Each box reads as its own title, a box inside another one too.
    for (QGroupBox *g : f->findChildren<QGroupBox *>())
        QCOMPARE(nom(g), g->title());
    QCOMPARE(nom(f->GroupBox4), QStringLiteral("KORBANIGUE"));
    QCOMPARE(nom(f->GroupBox10), QStringLiteral("Orvane BELTRUCQ"));
}

void TestAccessibilite::boitesDeMessage_data()
{
    QTest::addColumn<int>("boite");
    QTest::newRow("confirmer") << 0;
    QTest::newRow("informer") << 1;
    QTest::newRow("afficher") << 2;
    QTest::newRow("erreur") << 3;
}

void TestAccessibilite::boitesDeMessage()
{
    // A screen reader brailles a box by its name beside the focused button,
    // and does not read again a label whose text is in that name: the text
    // of each box of the game is in its name, its caption stays the game's.
    QFETCH(int, boite);
    const QString texte = QStringLiteral("La carte n'est pas valide.");
    QString legende, nomBoite, etiquette;
    QTimer attente;
    connect(&attente, &QTimer::timeout, [&] {
        auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!b || !b->isVisible())
            return;
        attente.stop();
        legende = b->windowTitle();
        nomBoite = nom(b);
        etiquette = nom(b->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")));
        b->buttons().constFirst()->click();   // Yes, or OK
    });
    attente.start(20);
    PlateformeReelle p;
    switch (boite) {
    case 0: QVERIFY(p.confirmer(texte)); break;
    case 1: p.informer(texte); break;
    case 2: p.afficher(texte); break;
    default: p.erreur(texte);
    }
    QCOMPARE(legende, QStringLiteral("Merle Vert"));
    QCOMPARE(etiquette, texte);
    QVERIFY2(nomBoite.startsWith(legende) && nomBoite.contains(texte), qPrintable(nomBoite));
}

void TestAccessibilite::afficheurSansNom()
{
    // A display that was given no name reads as its number, as the
    // toolkit's own display does, and its tooltip is the number alone.
    Afficheur a(4);
    a.afficher(QStringLiteral("-250"));
    QCOMPARE(nom(&a), QStringLiteral("-250"));
    QCOMPARE(lire(&a, QAccessible::Value), QStringLiteral("-250"));
    QCOMPARE(a.toolTip(), QStringLiteral("-250"));
    a.setLibelle(QStringLiteral("Essai"));
    QCOMPARE(nom(&a), QStringLiteral("Essai"));
    QCOMPARE(a.toolTip(), QStringLiteral("Essai : -250"));
}

void TestAccessibilite::talon()
{
    // A round won by seat 2, with a known talon.
    viderLesMains({9});
    f->finMancheOrdinateur(2);
    QVERIFY(!finmanche.isNull());
    QVERIFY(QTest::qWaitForWindowExposed(finmanche));

    const QList<ImageCarte *> images = {finmanche->Image1, finmanche->Image2, finmanche->Image3,
                                        finmanche->Image4};
    const QStringList attendus = {QStringLiteral("5 de trèfle"), QStringLiteral("5 de carreau"),
                                  QStringLiteral("7 de cœur"), QStringLiteral("8 de pique")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(nom(images[i]), attendus[i]);
        QCOMPARE(images[i]->toolTip(), attendus[i]);
        QCOMPARE(lire(images[i], QAccessible::Description), QStringLiteral("Carte du talon"));
        QCOMPARE(QAccessible::queryAccessibleInterface(images[i])->role(), QAccessible::Graphic);
    }
    // The group that holds them says what they are.
    QCOMPARE(nom(finmanche->GroupBox1), QStringLiteral("Talon :"));
    finmanche->close();
}

void TestAccessibilite::accelerateurs()
{
    // The main window: its buttons and the titles of its menu bar share the
    // window's Alt keys. The pass button (its caption is a rank) and "Carte
    // qui prend" have none; "&Nouvelle partie" and "&Niveau" share Alt+N.
    QList<Legende> principale;
    const QList<QPair<QString, QPushButton *>> boutons = {
        {QStringLiteral("Button1"), f->Button1}, {QStringLiteral("Button2"), f->Button2},
        {QStringLiteral("Button3"), f->Button3}, {QStringLiteral("Button4"), f->Button4},
        {QStringLiteral("Button5"), f->Button5}, {QStringLiteral("Button6"), f->Button6},
        {QStringLiteral("Button7"), f->Button7}};
    for (const auto &[qui, b] : boutons)
        principale.append({qui, b->text()});
    QCOMPARE(f->Panel1->findChildren<QPushButton *>().size(), boutons.size());
    for (QAction *a : f->MainMenu1->actions())
        principale.append({a->text(), a->text()});
    QString e = verifierAccelerateurs(QStringLiteral("fenêtre principale"), principale,
                                      {QStringLiteral("Button4"), QStringLiteral("Button5")},
                                      {{QStringLiteral("Alt+N"), {QStringLiteral("Button1"), QStringLiteral("&Niveau")}}});
    QVERIFY2(e.isEmpty(), qPrintable(e));
    // The pass button during play: "Sans " and a rank, still no letter.
    f->Button4->setText(QStringLiteral("Sans valet"));
    QVERIFY(QKeySequence::mnemonic(f->Button4->text()).isEmpty());

    // Each menu on its own: "&Sauvegarder une partie" and "&Score..." share S.
    e = verifierAccelerateurs(QStringLiteral("Fichier"), legendesDuMenu(f->Fichier), {},
                              {{QStringLiteral("Alt+S"), {QStringLiteral("&Sauvegarder une partie"),
                                                          QStringLiteral("&Score...")}}});
    QVERIFY2(e.isEmpty(), qPrintable(e));
    QCOMPARE(legendesDuMenu(f->Fichier).size(), 5);
    for (QMenu *m : {f->Score1, f->Niveau1, f->Aide1}) {
        e = verifierAccelerateurs(m->title(), legendesDuMenu(m), {}, {});
        QVERIFY2(e.isEmpty(), qPrintable(e));
    }
    QCOMPARE(legendesDuMenu(f->Score1).size(), 2);
    QCOMPARE(legendesDuMenu(f->Niveau1).size(), 2);
    QCOMPARE(legendesDuMenu(f->Aide1).size(), 4);

    // The end-of-game window: "&OK".
    QPointer<Tfinpartie> partie = new Tfinpartie(f);
    QList<Legende> lp;
    for (QPushButton *b : partie->findChildren<QPushButton *>())
        lp.append({b->text(), b->text()});
    QCOMPARE(lp.size(), 1);
    e = verifierAccelerateurs(QStringLiteral("fin de partie"), lp, {}, {});
    QVERIFY2(e.isEmpty(), qPrintable(e));
    partie->GroupBox2->hide();
    partie->close();
    laisserDetruire();
    QVERIFY(partie.isNull());

    // The end-of-round window: its only button is "Ok", without a letter.
    for (int s = 0; s < nbSieges; ++s)
        etat.tresor[s] = 1000;
    etat.cartesRestantes[2] = 0;
    f->finMancheOrdinateur(3);
    QVERIFY(!finmanche.isNull());
    QList<Legende> lm;
    for (QPushButton *b : finmanche->findChildren<QPushButton *>())
        lm.append({b->text(), b->text()});
    QCOMPARE(lm.size(), 1);
    e = verifierAccelerateurs(QStringLiteral("fin de manche"), lm, {QStringLiteral("Ok")}, {});
    QVERIFY2(e.isEmpty(), qPrintable(e));
    finmanche->close();
}

void TestAccessibilite::accelerateursAuClavier()
{
    // The letters work from the keyboard, not only in the captions.
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->Button1Click();
    d->oublier();
    // A button's letter presses it as a short animated click.
    QTest::keyClick(f, Qt::Key_D, Qt::AltModifier);   // "&Distribuer"
    QTRY_COMPARE(etat.cartesRestantes[0], 12);
    QVERIFY(!f->Button2->isEnabled());
    verifierMain();

    QTest::keyClick(f, Qt::Key_M, Qt::AltModifier);   // "&Meilleur Score"
    QTRY_COMPARE(d->boites.size(), 1);
    QCOMPARE(d->boites.last().genre, Boite::Simple);
    QVERIFY(d->boites.last().texte.contains(QStringLiteral(" a fini la partie avec : ")));
}

QTEST_MAIN(TestAccessibilite)
#include "test_accessibilite.moc"
