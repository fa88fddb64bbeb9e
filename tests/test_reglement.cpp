// The settlement of a round, the penalties, the close of the end-of-round
// window and the bankruptcy check, driven through the real main window.
#include <QtTest>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <climits>
#include <initializer_list>
#include "storage/meilleurscore.h"
#include "support/table.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"

namespace {

// Seat s holds exactly these cards, from slot 0 on; cartesRestantes follows.
void donnerMain(Seat s, std::initializer_list<CardNumber> cartes)
{
    for (CardNumber &n : etat.mains[s - 1])
        n = 0;
    int k = 0;
    for (CardNumber n : cartes)
        etat.mains[s - 1][k++] = n;
    etat.cartesRestantes[s - 1] = k;
}

void argent(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d)
{
    etat.tresor[0] = a;
    etat.tresor[1] = b;
    etat.tresor[2] = c;
    etat.tresor[3] = d;
}

void pots(std::int32_t p0, std::int32_t p1, std::int32_t p2, std::int32_t p3, std::int32_t p4)
{
    const std::int32_t v[nbCagnottes] = {p0, p1, p2, p3, p4};
    for (int p = 0; p < nbCagnottes; ++p)
        etat.cagnottes[p] = v[p];
}

bool fichierActif(Tprincipale *f)
{
    return f->Fichier->menuAction()->isEnabled();
}

} // namespace

class TestReglement : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void mainNonVideRienNeSePasse_data();
    void mainNonVideRienNeSePasse();
    void derniereCarteQuiPrend();
    void derniereCarteOrdinaire();
    void textesParGagnant_data();
    void textesParGagnant();
    void siege2GagneContreAsRoiAsDeux();
    void argentAffichePasRafraichiAvantFermeture();
    void talonListe();

    void penalitesValetPuisRoi();
    void penaliteDameOrdinateur();
    void penaliteCagnotteVide();
    void penalitesTouteLaTable();
    void fermetureOrdreEtEtat();

    void verifierSansRuine();
    void textesFinDePartie_data();
    void textesFinDePartie();
    void boiteDuNom_data();
    void boiteDuNom();
    void penalitesQuiFinissentLaPartie();
    void ruineALaDonne();

    void montantsExtremes_data();
    void montantsExtremes();
    void penalitesExtremes();
    void comparaisonExtreme();

};

void TestReglement::init()
{
    poserTable();
    meilleurScore = QStringLiteral("0");
    meilleurNom = QStringLiteral("Personne");
    // A round on the table: every seat has played some cards.
    viderLesMains({});
    pots(200, 40, 80, 160, 120);
    f->afficherTresors();
}

void TestReglement::cleanup()
{
    leverTable();
    QVERIFY(finmanche.isNull());
    QVERIFY(finpartie.isNull());
}

void TestReglement::mainNonVideRienNeSePasse_data()
{
    QTest::addColumn<int>("siege");
    QTest::newRow("vous") << 1;
    QTest::newRow("Moi") << 2;
    QTest::newRow("KORBANIGUE") << 3;
    QTest::newRow("Orvane BELTRUCQ") << 4;
}

void TestReglement::mainNonVideRienNeSePasse()
{
    QFETCH(int, siege);
    for (Seat s = 1; s <= nbSieges; ++s)
        donnerMain(s, {2, 3});
    etat.carteJouee = 23;   // a card that takes on the play zone: still not claimed
    const GameState avant = etat;
    if (siege == 1)
        f->finMancheVous();
    else
        f->finMancheOrdinateur(siege);
    QCOMPARE(etat, avant);
    QVERIFY(!mancheFinie);
    QVERIFY(finmanche.isNull());
    QVERIFY(d->boites.isEmpty());
    QVERIFY(f->Panel1->isEnabled());
}

void TestReglement::derniereCarteQuiPrend()
{
    donnerMain(1, {});
    donnerMain(2, {1});         // 1 point
    donnerMain(3, {2});         // 2 points
    donnerMain(4, {16});        // 3 of diamonds: 3 points
    etat.carteJouee = 23;       // the 10 of diamonds, with 40 in its pot
    bool fenetreAvantBoite = true;
    d->aChaqueBoite = [&](const Boite &) { fenetreAvantBoite = !finmanche.isNull(); };
    f->finMancheVous();

    QCOMPARE(d->boites, QList<Boite>({{Boite::Simple, QStringLiteral("Vous avez les points de la carte qui prenair")}}));
    QVERIFY2(!fenetreAvantBoite, "the box comes before the end-of-round window");
    QVERIFY(!finmanche.isNull());
    QVERIFY(finmanche->isVisible());
    QCOMPARE(etat.cagnottes[1], 0);
    QCOMPARE(f->LCDNumber12->texte(), QStringLiteral("0"));
    QCOMPARE(finmanche->Label5->text(), QStringLiteral("Vous avez donc 1100"));   // 1000 + 40 + 60
    QCOMPARE(etat.tresor[0], 1100);
    QCOMPARE(etat.tresor[1], 990);
    QCOMPARE(etat.tresor[2], 980);
    QCOMPARE(etat.tresor[3], 970);
    QVERIFY(mancheFinie);
}

void TestReglement::derniereCarteOrdinaire()
{
    donnerMain(1, {});
    donnerMain(2, {1});
    donnerMain(3, {1 + 13});
    donnerMain(4, {1 + 26});
    etat.carteJouee = 22;       // the 9 of diamonds takes nothing
    f->finMancheVous();
    QVERIFY(d->boites.isEmpty());
    QVERIFY(!finmanche.isNull());
    QCOMPARE(finmanche->windowTitle(), QStringLiteral("GAGNER !!!"));
    QCOMPARE(finmanche->Label5->text(), QStringLiteral("Vous avez donc 1030"));
    QCOMPARE(etat.cagnottes[1], 40);
}

void TestReglement::textesParGagnant_data()
{
    QTest::addColumn<int>("gagnant");
    QTest::addColumn<QString>("titre");
    QTest::addColumn<QStringList>("lignes");   // Label1 .. Label5
    QTest::newRow("vous") << 1 << QStringLiteral("GAGNER !!!")
                          << QStringList{QStringLiteral("Vous avez fini le premier, vous avez gagné la manche"),
                                         QStringLiteral("Je vous ai donné 20"),
                                         QStringLiteral("KORBANIGUE vous a donné 30"),
                                         QStringLiteral("Orvane BELTRUCQ vous a donné 40"),
                                         QStringLiteral("Vous avez donc 1090")};
    QTest::newRow("Moi") << 2 << QStringLiteral("Perdu !!!")
                         << QStringList{QStringLiteral("J'ai fini le premier, vous avez perdu la manche"),
                                        QStringLiteral("Vous m'avez donné 10"),
                                        QStringLiteral("KORBANIGUE m'a donné 30"),
                                        QStringLiteral("Orvane BELTRUCQ m'a donné 40"),
                                        QStringLiteral("J'ai donc 1080")};
    QTest::newRow("KORBANIGUE") << 3 << QStringLiteral("Perdu !!!")
                                << QStringList{QStringLiteral("KORBANIGUE a fini le premier, vous avez perdu la manche"),
                                               QStringLiteral("vous lui avez donné 10"),
                                               QStringLiteral("Je lui ai donné 20"),
                                               QStringLiteral("Orvane BELTRUCQ lui a donné 40"),
                                               QStringLiteral("KORBANIGUE a donc 1070")};
    QTest::newRow("Orvane BELTRUCQ")
        << 4 << QStringLiteral("Perdu !!!")
        << QStringList{QStringLiteral("Orvane BELTRUCQ a fini le premier, vous avez perdu la manche"),
                       QStringLiteral("vous lui avez donné 10"), QStringLiteral("Je lui ai donné 20"),
                       QStringLiteral("KORBANIGUE lui a donné 30"), QStringLiteral("Orvane BELTRUCQ a donc 1060")};
}

void TestReglement::textesParGagnant()
{
    QFETCH(int, gagnant);
    QFETCH(QString, titre);
    QFETCH(QStringList, lignes);
    // Seat s holds s points: an ace, or one card of rank s.
    for (Seat s = 1; s <= nbSieges; ++s)
        donnerMain(s, {s});
    donnerMain(gagnant, {});
    etat.carteJouee = 30;
    if (gagnant == 1)
        f->finMancheVous();
    else
        f->finMancheOrdinateur(gagnant);

    QVERIFY(!finmanche.isNull());
    QCOMPARE(finmanche->windowTitle(), titre);
    const QStringList vues = {finmanche->Label1->text(), finmanche->Label2->text(), finmanche->Label3->text(),
                              finmanche->Label4->text(), finmanche->Label5->text()};
    QCOMPARE(vues, lignes);
    for (const QString &l : vues)
        QVERIFY2(!l.contains(QStringLiteral("Euro")), qPrintable(l));
    QVERIFY(d->boites.isEmpty());
    QVERIFY(mancheFinie);
    // Money moved between seats only.
    QCOMPARE(argentTotal(etat), qint64(4000 + 600));
}

void TestReglement::siege2GagneContreAsRoiAsDeux()
{
    donnerMain(1, {1, 13});     // ace and king of clubs: 14 points
    donnerMain(2, {});
    donnerMain(3, {27});        // an ace: 1 point
    donnerMain(4, {41});        // the 2 of spades: 2 points
    argent(500, 1234, 700, 800);
    f->finMancheOrdinateur(2);
    QCOMPARE(finmanche->windowTitle(), QStringLiteral("Perdu !!!"));
    QCOMPARE(finmanche->Label2->text(), QStringLiteral("Vous m'avez donné 140"));
    QCOMPARE(finmanche->Label3->text(), QStringLiteral("KORBANIGUE m'a donné 10"));
    QCOMPARE(finmanche->Label4->text(), QStringLiteral("Orvane BELTRUCQ m'a donné 20"));
    QCOMPARE(finmanche->Label5->text(), QStringLiteral("J'ai donc 1404"));
    QCOMPARE(etat.tresor[0], 360);
    QCOMPARE(etat.tresor[2], 690);
    QCOMPARE(etat.tresor[3], 780);
    // The settlement leaves hands, pots and buttons alone.
    QCOMPARE(etat.mains[0][0], 1);
    QCOMPARE(etat.mains[0][1], 13);
    QCOMPARE(etat.cagnottes[3], 160);
}

void TestReglement::argentAffichePasRafraichiAvantFermeture()
{
    donnerMain(1, {5});
    donnerMain(2, {});
    donnerMain(3, {});
    donnerMain(4, {6, 7});
    f->finMancheOrdinateur(2);
    for (Afficheur *a : f->affichagesTresor)
        QCOMPARE(a->texte(), QStringLiteral("1000"));
    finmanche->close();
    QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("950"));
    QCOMPARE(f->LCDNumber2->texte(), QStringLiteral("1180"));
    QCOMPARE(f->LCDNumber3->texte(), QStringLiteral("1000"));
    QCOMPARE(f->LCDNumber4->texte(), QStringLiteral("870"));
}

void TestReglement::talonListe()
{
    donnerMain(1, {});
    f->finMancheVous();
    QStringList lignes;
    for (int i = 0; i < finmanche->ListBox1->count(); ++i)
        lignes << finmanche->ListBox1->item(i)->text();
    QCOMPARE(lignes, QStringList({"5", "18", "33", "47"}));
    // Listed again: the list is cleared first.
    etat.talon[2] = 52;
    f->listerTalon();
    QCOMPARE(finmanche->ListBox1->count(), 4);
    QCOMPARE(finmanche->ListBox1->item(2)->text(), QStringLiteral("52"));
    QVERIFY(finmanche->ListBox1->isHidden());
}

void TestReglement::penalitesValetPuisRoi()
{
    // Lost to seat 4, with the jack of clubs and the king of hearts in hand
    // (sorted: the jack first).
    donnerMain(1, {11, 39});
    donnerMain(2, {});
    donnerMain(3, {});
    donnerMain(4, {});
    f->finMancheOrdinateur(4);
    QCOMPARE(etat.tresor[0], 1000 - 240);   // 24 points paid to seat 4
    d->oublier();
    finmanche->close();
    QCOMPARE(d->boites, QList<Boite>({{Boite::Information, QStringLiteral("Vous aviez le valet qui prend")},
                                      {Boite::Information, QStringLiteral("Vous aviez le roi qui prend")}}));
    QCOMPARE(etat.tresor[0], 1000 - 240 - 240);
    QCOMPARE(etat.cagnottes[2], 160);
    QCOMPARE(etat.cagnottes[3], 320);
    QCOMPARE(f->LCDNumber11->texte(), QStringLiteral("160"));
    QCOMPARE(f->LCDNumber10->texte(), QStringLiteral("320"));
    QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("520"));
    QCOMPARE(argentTotal(etat), qint64(4600));
}

void TestReglement::penaliteDameOrdinateur()
{
    donnerMain(1, {});
    donnerMain(2, {});
    donnerMain(3, {51});
    donnerMain(4, {});
    f->penalites();
    QVERIFY(d->boites.isEmpty());
    QCOMPARE(etat.tresor[2], 880);
    QCOMPARE(etat.cagnottes[4], 240);
    QCOMPARE(f->LCDNumber9->texte(), QStringLiteral("240"));
    // penalites leaves the money displays to the close sequence.
    QCOMPARE(f->LCDNumber3->texte(), QStringLiteral("1000"));
}

void TestReglement::penaliteCagnotteVide()
{
    donnerMain(1, {20});
    pots(0, 40, 80, 160, 120);
    f->penalites();
    QCOMPARE(d->textes(), QStringList{QStringLiteral("Vous aviez le 7 qui prend")});
    QCOMPARE(etat.tresor[0], 1000);
    QCOMPARE(etat.cagnottes[0], 0);
}

void TestReglement::penalitesTouteLaTable()
{
    // All five cards that take still held; the human's boxes follow the
    // human's slots.
    donnerMain(1, {20, 23, 51});
    donnerMain(2, {11});
    donnerMain(4, {39});
    donnerMain(3, {});
    f->penalites();
    QCOMPARE(d->textes(), QStringList({QStringLiteral("Vous aviez le 7 qui prend"),
                                       QStringLiteral("Vous aviez le 10 qui prend"),
                                       QStringLiteral("Vous aviez la dame qui prend")}));
    QCOMPARE(etat.tresor[0], 1000 - 200 - 40 - 120);
    QCOMPARE(etat.tresor[1], 1000 - 80);
    QCOMPARE(etat.tresor[2], 1000);
    QCOMPARE(etat.tresor[3], 1000 - 160);
    for (int p = 0; p < nbCagnottes; ++p)
        QCOMPARE(etat.cagnottes[p], 2 * tableCagnottes[p].mise * 4);
    QCOMPARE(argentTotal(etat), qint64(4600));
}

void TestReglement::fermetureOrdreEtEtat()
{
    donnerMain(1, {9, 10});
    donnerMain(2, {});
    donnerMain(3, {3});
    donnerMain(4, {4});
    etat.carteJouee = 8;
    f->Image13->dessinerCarte(8);
    for (int k = 0; k < 2; ++k) {
        f->imagesMain[k]->setEnabled(true);
        f->imagesMain[k]->show();
    }
    f->Button4->setEnabled(true);
    f->Button4->setText(QStringLiteral("Sans 9"));
    f->Button5->setEnabled(true);
    f->finMancheOrdinateur(2);
    QVERIFY(!f->Panel1->isEnabled());
    QVERIFY(!fichierActif(f));
    QVERIFY(!f->Button2->isEnabled());

    finmanche->close();
    laisserDetruire();
    QVERIFY(finmanche.isNull());
    QVERIFY(f->Sauvegarderunepartie1->isEnabled());
    QVERIFY(f->Button6->isEnabled());
    QVERIFY(f->Button2->isEnabled());
    QVERIFY(!f->Button4->isEnabled());
    QVERIFY(!f->Button5->isEnabled());
    QCOMPARE(f->Button4->text(), QStringLiteral(" "));
    for (int k = 0; k < 2; ++k) {
        QVERIFY(!f->imagesMain[k]->isEnabled());
        QVERIFY(f->imagesMain[k]->isVisible());
    }
    QCOMPARE(f->Image13->carte(), 0);
    const QImage zone = f->Image13->grab().toImage();
    QCOMPARE(zone.pixelColor(36, 54), QColor(0, 128, 0));
    QVERIFY(f->Panel1->isEnabled());
    QVERIFY(fichierActif(f));
    // The bankruptcy check ran: the human's slots are empty, no card played.
    QCOMPARE(etat.carteJouee, aucuneCarte);
    for (CardNumber n : etat.mains[0])
        QCOMPARE(n, 0);
    QCOMPARE(etat.mains[2][0], 3);
    QVERIFY(finpartie.isNull());
    QVERIFY(!f->partieTerminee);
    QVERIFY(partieEnCours);
    // The level stays where the deal put it.
    QVERIFY(f->Niveau1->menuAction()->isEnabled());
}

void TestReglement::verifierSansRuine()
{
    donnerMain(1, {3, 4, 5});
    donnerMain(2, {6});
    argent(1, 1, 1, 1);
    etat.carteJouee = 12;
    f->verifierFinPartie();
    QCOMPARE(etat.carteJouee, aucuneCarte);
    for (CardNumber n : etat.mains[0])
        QCOMPARE(n, 0);
    QCOMPARE(etat.mains[1][0], 6);
    QVERIFY(finpartie.isNull());
    QVERIFY(!f->partieTerminee);
    QVERIFY(partieEnCours);
    QVERIFY(d->boites.isEmpty());
}

void TestReglement::textesFinDePartie_data()
{
    QTest::addColumn<QList<int>>("tresors");
    QTest::addColumn<QStringList>("lignes");
    QTest::newRow("vous, en dessous de zéro")
        << QList<int>{-75, 2000, 1800, 1500}
        << QStringList{QStringLiteral("Vous n'avez plus d'argent, vous êtes dernier."),
                       QStringLiteral("Vous avez 0 Euro"), QStringLiteral("J'ai 2000 Euros"),
                       QStringLiteral("KORBANIGUE a 1800 Euros"), QStringLiteral("Orvane BELTRUCQ a 1500 Euros")};
    QTest::newRow("Moi et Orvane BELTRUCQ")
        << QList<int>{2000, 0, 1800, -30}
        << QStringList{QStringLiteral("Je n'a plus d'argent, il est dernier."), QStringLiteral("Vous avez 2000 Euros"),
                       QStringLiteral("J'ai 0 Euro"), QStringLiteral("KORBANIGUE a 1800 Euros"),
                       QStringLiteral("Orvane BELTRUCQ a -30 Euros")};
    QTest::newRow("KORBANIGUE")
        << QList<int>{2000, 1700, -5, 1500}
        << QStringList{QStringLiteral("KORBANIGUE n'a plus d'argent, il est dernier."),
                       QStringLiteral("Vous avez 2000 Euros"), QStringLiteral("J'a 1700 Euros"),
                       QStringLiteral("KORBANIGUE a 0 Euro"), QStringLiteral("Orvane BELTRUCQ a 1500 Euros")};
    QTest::newRow("vous puis Orvane BELTRUCQ")
        << QList<int>{-1, 1700, 1, 0}
        << QStringList{QStringLiteral("Vous n'avez plus d'argent, vous êtes dernier."),
                       QStringLiteral("Vous avez 0 Euro"), QStringLiteral("J'ai 1700 Euros"),
                       QStringLiteral("KORBANIGUE a 1 Euros"), QStringLiteral("Orvane BELTRUCQ a 0 Euros")};
    QTest::newRow("Orvane BELTRUCQ seul")
        << QList<int>{1, 2, 3, 0}
        << QStringList{QStringLiteral("Orvane BELTRUCQ n'a plus d'argent, il est dernier."),
                       QStringLiteral("Vous avez 1 Euros"), QStringLiteral("J'ai 2 Euros"),
                       QStringLiteral("KORBANIGUE a 3 Euros"), QStringLiteral("Orvane BELTRUCQ a 0 Euro")};
}

void TestReglement::textesFinDePartie()
{
    QFETCH(QList<int>, tresors);
    QFETCH(QStringList, lignes);
    argent(tresors[0], tresors[1], tresors[2], tresors[3]);
    f->Button2->setEnabled(true);
    f->verifierFinPartie();
    QVERIFY(!finpartie.isNull());
    QVERIFY(finpartie->isVisible());
    QCOMPARE(finpartie->parentWidget(), f);
    const QStringList vues = {finpartie->Label1->text(), finpartie->Label2->text(), finpartie->Label3->text(),
                              finpartie->Label4->text(), finpartie->Label5->text()};
    QCOMPARE(vues, lignes);
    QVERIFY(f->partieTerminee);
    QVERIFY(!partieEnCours);
    QVERIFY(!f->Button2->isEnabledTo(f->Panel1));
    QVERIFY(!f->Panel1->isEnabled());
    QVERIFY(!fichierActif(f));
    // The real amounts stay in the state.
    for (int s = 0; s < nbSieges; ++s)
        QCOMPARE(etat.tresor[s], tresors[s]);
}

void TestReglement::boiteDuNom_data()
{
    QTest::addColumn<QString>("meilleur");
    QTest::addColumn<int>("niveau");
    QTest::addColumn<int>("vous");
    QTest::addColumn<bool>("visible");
    QTest::newRow("2000 égalé au niveau 0") << "2000" << 0 << 2000 << false;
    QTest::newRow("2000 battu au niveau 0") << "2000" << 0 << 2010 << true;
    QTest::newRow("2000 égalé au niveau 1") << "2000" << 1 << 1000 << false;
    QTest::newRow("2000 battu au niveau 1") << "2000" << 1 << 1010 << true;
    QTest::newRow("négatif battu") << "-50" << 0 << 1 << true;
    QTest::newRow("avec blancs") << " 3000 " << 0 << 2999 << false;
    // A best score that is not a number counts as none.
    QTest::newRow("vide") << "" << 0 << 1 << true;
    QTest::newRow("texte") << "beaucoup" << 0 << 5 << true;
    QTest::newRow("nombre suivi de texte") << "99999x" << 0 << 5 << true;
    QTest::newRow("au-delà de 32 bits") << "99999999999" << 0 << 5 << true;
    // The human without money is never asked for a name.
    QTest::newRow("vous ruiné, pas de meilleur score") << "" << 0 << -75 << false;
    QTest::newRow("vous ruiné, meilleur score plus bas") << "-1000" << 1 << 0 << false;
}

void TestReglement::boiteDuNom()
{
    QFETCH(QString, meilleur);
    QFETCH(int, niveau);
    QFETCH(int, vous);
    QFETCH(bool, visible);
    meilleurScore = meilleur;
    etat.niveau = niveau;
    argent(vous, 3000, 0, 3000);
    f->verifierFinPartie();
    QVERIFY(!finpartie.isNull());
    QCOMPARE(!finpartie->GroupBox2->isHidden(), visible);
    QCOMPARE(finpartie->GroupBox2->isVisible(), visible);
    // The human's money is compared, never changed here.
    QCOMPARE(etat.tresor[0], vous);
    QCOMPARE(meilleurScore, meilleur);
}

void TestReglement::penalitesQuiFinissentLaPartie()
{
    // Seat 3 wins; the human pays the points, then the queen of spades' pot.
    meilleurScore = QStringLiteral("100000");
    argent(150, 1000, 1000, 1000);
    donnerMain(1, {51});        // queen: 12 points, 120 paid, then 120 of penalty
    donnerMain(2, {});
    donnerMain(3, {});
    donnerMain(4, {});
    f->finMancheOrdinateur(3);
    finmanche->close();
    laisserDetruire();
    QCOMPARE(etat.tresor[0], -90);
    QVERIFY(!finpartie.isNull());
    QCOMPARE(finpartie->Label2->text(), QStringLiteral("Vous avez 0 Euro"));
    QVERIFY(finpartie->GroupBox2->isHidden());
    // Panel1 is locked; the buttons' own state is what the panel gives back.
    QVERIFY(!f->Button2->isEnabledTo(f->Panel1));
    QVERIFY(f->Button6->isEnabledTo(f->Panel1));
    QVERIFY(f->Sauvegarderunepartie1->isEnabled());
    QVERIFY(!f->Panel1->isEnabled());
    QVERIFY(!fichierActif(f));
    QVERIFY(f->Niveau1->menuAction()->isEnabled());
    QVERIFY(f->Aide1->menuAction()->isEnabled());

    finpartie->close();
    laisserDetruire();
    QVERIFY(finpartie.isNull());
    QVERIFY(f->Panel1->isEnabled());
    QVERIFY(fichierActif(f));
    QVERIFY(!f->Button2->isEnabled());
    // The human was the bankrupt seat: no best score recorded.
    QCOMPARE(meilleurScore, QStringLiteral("100000"));
    QVERIFY(!QFile::exists(table->dossier + QStringLiteral("/mv")));
}

void TestReglement::ruineALaDonne()
{
    partieEnCours = false;
    f->Button1Click();          // new game: 1500 each, pots empty
    QVERIFY(f->Button2->isEnabled());
    f->Button2Click();          // first deal, led by the human
    QVERIFY(!mancheFinie);
    // Seat 4 can no longer pay its stake.
    argent(1500, 1400, 1300, 150);
    for (Seat s = 1; s <= nbSieges; ++s)
        donnerMain(s, {s + 4});
    const GameState avant = etat;
    f->Button2->setEnabled(true);
    f->Button2Click();
    QVERIFY(f->partieTerminee);
    QVERIFY(!partieEnCours);
    QVERIFY(!finpartie.isNull());
    QCOMPARE(finpartie->Label1->text(), QStringLiteral("Orvane BELTRUCQ n'a plus d'argent, il est dernier."));
    QCOMPARE(finpartie->Label2->text(), QStringLiteral("Vous avez 1350 Euros"));
    QCOMPARE(etat.tresor[3], 0);
    QCOMPARE(f->LCDNumber4->texte(), QStringLiteral("0"));
    for (int p = 0; p < nbCagnottes; ++p)
        QCOMPARE(etat.cagnottes[p], avant.cagnottes[p]);
    QCOMPARE(argentTotal(etat), argentTotal(avant) - 600);
    // No cards dealt: the human's slots are emptied, the others keep theirs.
    for (CardNumber n : etat.mains[0])
        QCOMPARE(n, 0);
    QCOMPARE(etat.mains[1][0], 6);
    QCOMPARE(etat.talon[0], avant.talon[0]);
    QCOMPARE(etat.carteJouee, aucuneCarte);
    QVERIFY(!f->Button2->isEnabled());
}

void TestReglement::montantsExtremes_data()
{
    QTest::addColumn<int>("gagnant");
    QTest::addColumn<QList<int>>("tresors");
    QTest::addColumn<QList<int>>("attendus");
    // The winner at the top of the range: the sum wraps.
    QTest::newRow("vous au maximum") << 1 << QList<int>{INT_MAX, 0, 0, 0} << QList<int>{INT_MIN + 29, -10, -10, -10};
    // Losers at the bottom of the range: the payment wraps to the top.
    QTest::newRow("perdants au minimum")
        << 2 << QList<int>{INT_MIN, 100, INT_MIN + 5, INT_MIN} << QList<int>{INT_MAX - 9, 130, INT_MAX - 4, INT_MAX - 9};
}

void TestReglement::montantsExtremes()
{
    QFETCH(int, gagnant);
    QFETCH(QList<int>, tresors);
    QFETCH(QList<int>, attendus);
    for (Seat s = 1; s <= nbSieges; ++s)
        donnerMain(s, {1});     // one ace each: 10 to pay
    donnerMain(gagnant, {});
    argent(tresors[0], tresors[1], tresors[2], tresors[3]);
    etat.carteJouee = 2;
    if (gagnant == 1)
        f->finMancheVous();
    else
        f->finMancheOrdinateur(gagnant);
    for (int s = 0; s < nbSieges; ++s)
        QCOMPARE(etat.tresor[s], attendus[s]);
    QCOMPARE(finmanche->Label5->text().section(' ', -1).toInt(), attendus[gagnant - 1]);
}

void TestReglement::penalitesExtremes()
{
    argent(INT_MIN, INT_MAX, 0, 0);
    pots(INT_MAX, INT_MIN, 0x40000000, -1, 0);
    donnerMain(1, {20, 11});    // 7 of diamonds (pot INT_MAX), jack of clubs (2^30)
    donnerMain(2, {23, 39});    // 10 of diamonds (pot INT_MIN), king of hearts (-1)
    f->penalites();
    QCOMPARE(etat.tresor[0], int(std::int64_t(INT_MIN) - INT_MAX - 0x40000000 + (std::int64_t(1) << 32)));
    QCOMPARE(etat.tresor[1], int(std::int64_t(INT_MAX) - INT_MIN + 1 - (std::int64_t(1) << 32)));
    QCOMPARE(etat.cagnottes[0], -2);            // 2 x INT_MAX wraps
    QCOMPARE(etat.cagnottes[1], 0);             // 2 x INT_MIN wraps
    QCOMPARE(etat.cagnottes[2], INT_MIN);       // 2 x 2^30 wraps
    QCOMPARE(etat.cagnottes[3], -2);
    QCOMPARE(d->boites.size(), 2);
}

void TestReglement::comparaisonExtreme()
{
    // (niveau + 1) x money wraps in 32 bits, as the stored format implies.
    meilleurScore = QStringLiteral("0");
    etat.niveau = INT_MAX;      // niveau + 1 wraps to INT_MIN
    argent(3, 0, 1, 1);         // INT_MIN x 3 wraps to INT_MIN: not above 0
    f->verifierFinPartie();
    QVERIFY(finpartie->GroupBox2->isHidden());
    finpartie->close();
    laisserDetruire();

    etat.niveau = 1;
    argent(0x40000000, 0, 1, 1);   // 2 x 2^30 wraps to INT_MIN
    meilleurScore = QStringLiteral("-2147483648");
    f->verifierFinPartie();
    QVERIFY(finpartie->GroupBox2->isHidden());
    finpartie->close();
    laisserDetruire();

    etat.niveau = -1;           // multiplier 0
    argent(INT_MAX, 0, 1, 1);
    meilleurScore = QStringLiteral("-1");
    f->verifierFinPartie();
    QVERIFY(!finpartie->GroupBox2->isHidden());
}

QTEST_MAIN(TestReglement)
#include "test_reglement.moc"
