// A new game and the deal: the random generator, the deal and the sort, the
// leader rotation, the question before a new game, a clean start of every
// round.
#include <QtTest>
#include <QCheckBox>
#include "aide_tours.h"
#include "game/hasard.h"

class TestDonne : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void premiersTirages_data();
    void premiersTirages();
    void premieresCartesDistribuees_data();
    void premieresCartesDistribuees();
    void memeMillisecondeMemeDonne();
    void chaqueDonneEstComplete_data();
    void chaqueDonneEstComplete();
    void tri_data();
    void tri();
    void rotationSurCinqDonnes();
    void premiereDonneAttendLeJoueur_data();
    void premiereDonneAttendLeJoueur();
    void meneursHorsPlage_data();
    void meneursHorsPlage();
    void nouvellePartieSansPartieEnCours();
    void nouvellePartieQuestion_data();
    void nouvellePartieQuestion();
    void donneApresNouvellePartieEnCoursDeManche();
    void donneQuiRuine();
    void donneSansDebordement();

};

void TestDonne::init()
{
    poserTable();
}

void TestDonne::cleanup()
{
    leverTable();
}

void TestDonne::premiersTirages_data()
{
    QTest::addColumn<quint32>("graine");
    QTest::addColumn<QList<quint32>>("sous5");
    QTest::addColumn<QList<quint32>>("sous52");
    // A draw below n: state := state * 134775813 + 1 (mod 2^32), then the
    // draw is (state * n) >> 32.
    //
    // Seed 0:
    //   0 * 134775813 + 1 = 1                              state 1
    //     1 * 5 = 5 >> 32 = 0;          1 * 52 = 52 >> 32 = 0
    //   1 * 134775813 + 1 = 134775814                      state 134775814
    //     * 5 = 673879070 >> 32 = 0;    * 52 = 7008342328 >> 32 = 1
    //   134775814 * 134775813 + 1 = 18164519904586783
    //     mod 2^32 = 18164519904586783 - 4229256 * 4294967296 = 3698175007
    //     * 5 = 18490875035 >> 32 = 4;  * 52 = 192305100364 >> 32 = 44
    //   3698175007 * 134775813 + 1 = 498424543184705692
    //     mod 2^32 = 498424543184705692 - 116048507 * 4294967296 = 870078620
    //     * 5 = 4350393100 >> 32 = 1;   * 52 = 45244088240 >> 32 = 10
    QTest::newRow("0") << quint32(0) << QList<quint32>{0, 0, 4, 1} << QList<quint32>{0, 1, 44, 10};
    // Seed 1 starts one step later on the same road: states 134775814,
    // 3698175007, 870078620, then
    //   870078620 * 134775813 + 1 = 117265553384418061
    //     mod 2^32 = 117265553384418061 - 27303014 * 4294967296 = 1172187917
    //     * 5 = 5860939585 >> 32 = 1;   * 52 = 60953771684 >> 32 = 14
    QTest::newRow("1") << quint32(1) << QList<quint32>{0, 4, 1, 1} << QList<quint32>{1, 44, 10, 14};
    // Seed 43200000 (noon, 12 * 3600 * 1000 ms):
    //   43200000 * 134775813 + 1 = 5822315121600001
    //     mod 2^32 = 5822315121600001 - 1355613 * 4294967296 = 1620567553
    //     * 5 = 8102837765 >> 32 = 1;   * 52 = 84269512756 >> 32 = 19
    //   1620567553 * 134775813 + 1 = 218413309476995590 mod 2^32 = 1838678534
    //     * 5 = 9193392670 >> 32 = 2;   * 52 = 95611283768 >> 32 = 22
    //   1838678534 * 134775813 + 1 = 247809394265498143 mod 2^32 = 3308462623
    //     * 5 = 16542313115 >> 32 = 3;  * 52 = 172040056396 >> 32 = 40
    //   3308462623 * 134775813 + 1 = 445900739794937500 mod 2^32 = 1083156124
    //     * 5 = 5415780620 >> 32 = 1;   * 52 = 56324118448 >> 32 = 13
    QTest::newRow("midi") << quint32(43200000) << QList<quint32>{1, 2, 3, 1} << QList<quint32>{19, 22, 40, 13};
}

void TestDonne::premiersTirages()
{
    QFETCH(quint32, graine);
    QFETCH(QList<quint32>, sous5);
    QFETCH(QList<quint32>, sous52);
    Hasard h;
    h.semer(graine);
    QList<quint32> obtenus;
    for (int i = 0; i < sous5.size(); ++i)
        obtenus << h.tirer(5);
    QCOMPARE(obtenus, sous5);
    h.semer(graine);
    obtenus.clear();
    for (int i = 0; i < sous52.size(); ++i)
        obtenus << h.tirer(52);
    QCOMPARE(obtenus, sous52);
}

void TestDonne::premieresCartesDistribuees_data()
{
    QTest::addColumn<int>("heure");
    QTest::addColumn<QList<int>>("destinations");   // of cards 1, 2, 3, 4: seat, or 5 for the talon
    QTest::addColumn<QList<int>>("places");
    // Draws below 5 worked out above: 0, 0, 4, 1 for seed 0; 1, 2, 3, 1 at noon.
    QTest::newRow("minuit") << 0 << QList<int>{1, 1, 5, 2} << QList<int>{0, 1, 0, 0};
    QTest::newRow("midi") << 43200000 << QList<int>{2, 3, 4, 2} << QList<int>{0, 0, 0, 1};
}

void TestDonne::premieresCartesDistribuees()
{
    QFETCH(int, heure);
    QFETCH(QList<int>, destinations);
    QFETCH(QList<int>, places);
    d->heure = heure;
    f->nouvellePartie();
    // Watch the deal before the sort: the first cards go in ascending number
    // to the destinations drawn.
    hasard.semer(static_cast<quint32>(heure));
    etat = GameState{};
    f->distribuerCartes();
    for (int i = 0; i < destinations.size(); ++i) {
        const CardNumber carte = i + 1;
        const int dest = destinations[i];
        if (dest == 5)
            QCOMPARE(etat.talon[places[i]], carte);
        else
            QCOMPARE(etat.mains[dest - 1][places[i]], carte);
    }
    // Places fill in order, so before the sort every destination ascends.
    for (const auto &main : etat.mains)
        QVERIFY(std::is_sorted(std::begin(main), std::end(main)));
    QVERIFY(std::is_sorted(std::begin(etat.talon), std::end(etat.talon)));
    QCOMPARE(verifierCartes(etat), QString());
}

void TestDonne::memeMillisecondeMemeDonne()
{
    d->heure = 37 * 60 * 1000 + 123;
    f->nouvellePartie();
    f->Button2Click();
    const GameState premiere = etat;
    // Another deal at the same millisecond, from the same start.
    f->nouvellePartie();
    f->Button2Click();
    QCOMPARE(ecarts(etat, premiere), QString());
    // One millisecond later the cards differ.
    d->heure += 1;
    f->nouvellePartie();
    f->Button2Click();
    QVERIFY(std::memcmp(etat.mains, premiere.mains, sizeof etat.mains) != 0);
}

void TestDonne::chaqueDonneEstComplete_data()
{
    QTest::addColumn<int>("heure");
    for (int h : {0, 1, 999, 43200000, 86399999, 12345678, 55555555, 3600000})
        QTest::newRow(qPrintable(QString::number(h))) << h;
}

void TestDonne::chaqueDonneEstComplete()
{
    QFETCH(int, heure);
    d->heure = heure;
    f->nouvellePartie();
    f->Button2Click();   // led by the human: nothing is played yet

    int vues[53] = {};
    for (const auto &main : etat.mains)
        for (CardNumber n : main) {
            QVERIFY(n >= 1 && n <= 52);
            ++vues[n];
        }
    for (CardNumber n : etat.talon) {
        QVERIFY(n >= 1 && n <= 52);
        ++vues[n];
    }
    for (int n = 1; n <= 52; ++n)
        QCOMPARE(vues[n], 1);
    for (int s = 0; s < nbSieges; ++s) {
        QCOMPARE(etat.cartesRestantes[s], 12);
        QCOMPARE(f->affichagesCartes[s]->texte(), QStringLiteral("12"));
        QCOMPARE(etat.tresor[s], 1350);
        QCOMPARE(f->affichagesTresor[s]->texte(), QStringLiteral("1350"));
        for (int k = 1; k < tailleMain; ++k)
            QVERIFY(rang(etat.mains[s][k - 1]) <= rang(etat.mains[s][k]));
    }
    const int compte[5] = {12, 12, 12, 12, 4};
    QVERIFY(std::equal(std::begin(compte), std::end(compte), std::begin(etat.compteDonne)));
    const int pots[nbCagnottes] = {200, 40, 80, 160, 120};
    for (int p = 0; p < nbCagnottes; ++p) {
        QCOMPARE(etat.cagnottes[p], pots[p]);
        QCOMPARE(f->afficheurCagnotte(p)->texte(), QString::number(pots[p]));
    }
    QCOMPARE(etat.dernierRang, 13);
    QCOMPARE(etat.carteJouee, 53);
    QCOMPARE(etat.nbPasses, 0);
    QVERIFY(!mancheFinie);
    for (int k = 0; k < tailleMain; ++k) {
        QVERIFY(f->imagesMain[k]->isVisible());
        QVERIFY(f->imagesMain[k]->isEnabled());
        QCOMPARE(f->imagesMain[k]->carte(), etat.mains[0][k]);
    }
    QVERIFY(!f->Button2->isEnabled());
    QVERIFY(!f->Button6->isEnabled());
    QVERIFY(!f->Button4->isEnabled());
    QVERIFY(!f->Button5->isEnabled());
    QVERIFY(!f->Sauvegarderunepartie1->isEnabled());
    QVERIFY(!f->Normal1->isEnabled());
    QVERIFY(!f->Difficile1->isEnabled());
    QVERIFY(d->pauses.isEmpty());
}

void TestDonne::tri_data()
{
    QTest::addColumn<QList<int>>("main");
    QTest::addColumn<QList<int>>("triee");
    QTest::newRow("trèfle avant cœur dans un rang") << QList<int>{1, 2, 27} << QList<int>{1, 27, 2};
    QTest::newRow("quatre as et rois")
        << QList<int>{13, 26, 39, 52, 1, 14, 27, 40} << QList<int>{1, 14, 27, 40, 13, 26, 39, 52};
    QTest::newRow("à l'envers") << QList<int>{52, 38, 24, 10, 9, 8, 7, 6, 5, 4, 3, 2}
                                << QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 24, 38, 52};
    // Equal ranks are never swapped: they keep the order they came in.
    QTest::newRow("rangs égaux gardent leur ordre") << QList<int>{40, 27, 14, 1} << QList<int>{40, 27, 14, 1};
    QTest::newRow("cases vides en tête") << QList<int>{5, 0, 3, 0} << QList<int>{0, 0, 3, 5};
}

void TestDonne::tri()
{
    QFETCH(QList<int>, main);
    QFETCH(QList<int>, triee);
    etat = GameState{};
    for (int s = 0; s < nbSieges; ++s)
        for (int k = 0; k < main.size(); ++k)
            etat.mains[s][k] = main[k];
    f->trierMains();
    // The slots left empty (rank 0) come first.
    const int debut = tailleMain - triee.size();
    for (int s = 0; s < nbSieges; ++s)
        for (int k = 0; k < tailleMain; ++k)
            QCOMPARE(etat.mains[s][k], k < debut ? 0 : triee[k - debut]);
    // The human's hand is drawn in slot order, the lowest card in Image1.
    for (int k = debut; k < tailleMain; ++k)
        if (triee[k - debut] != 0)
            QCOMPARE(f->imagesMain[k]->carte(), triee[k - debut]);
}

void TestDonne::rotationSurCinqDonnes()
{
    f->Son->setChecked(false);
    f->nouvellePartie();
    QList<int> meneurs;
    for (int donne = 0; donne < 5; ++donne) {
        d->heure = 1000 * donne;
        mancheFinie = false;
        f->Button2Click();
        meneurs << etat.premierJoueur;
        QCOMPARE(etat.premierPrecedent, etat.premierJoueur);
    }
    QCOMPARE(meneurs, (QList<int>{1, 2, 3, 4, 1}));
}

void TestDonne::premiereDonneAttendLeJoueur_data()
{
    QTest::addColumn<bool>("son");
    QTest::addColumn<int>("bips");
    QTest::newRow("avec le son") << true << 1;
    QTest::newRow("sans le son") << false << 0;
}

void TestDonne::premiereDonneAttendLeJoueur()
{
    QFETCH(bool, son);
    QFETCH(int, bips);
    f->Son->setChecked(son);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY(d->boites.isEmpty());
    QVERIFY(f->Button2->isEnabled());
    QTest::mouseClick(f->Button2, Qt::LeftButton);
    QCOMPARE(etat.premierJoueur, 1);
    QCOMPARE(d->bips, bips);
    // No computer seat has played: every hand is whole, nothing laid.
    QVERIFY(d->pauses.isEmpty());
    for (int s = 0; s < nbSieges; ++s)
        QCOMPARE(etat.cartesRestantes[s], 12);
    QCOMPARE(etat.carteJouee, 53);
}

void TestDonne::meneursHorsPlage_data()
{
    QTest::addColumn<int>("joueur");
    QTest::addColumn<int>("precedent");
    QTest::addColumn<int>("meneur");
    QTest::newRow("0 et 0") << 0 << 0 << 1;
    QTest::newRow("5 et 5") << 5 << 5 << 1;
    QTest::newRow("-7 et -7") << -7 << -7 << 1;
    QTest::newRow("4 et 3") << 4 << 3 << 1;
    QTest::newRow("0 et 2") << 0 << 2 << 1;
    QTest::newRow("-7 et 4") << -7 << 4 << 1;
    QTest::newRow("5 et 4") << 5 << 4 << 1;
    // A previous leader above 4 keeps the leader; one below 4 passes the lead on.
    QTest::newRow("3 et 5") << 3 << 5 << 3;
    QTest::newRow("4 et 9") << 4 << 9 << 4;
    QTest::newRow("3 et -7") << 3 << -7 << 4;
    QTest::newRow("plus grand entier et 1") << int(INT32_MAX) << 1 << 1;
    // Values in range, even unequal, go on as usual.
    QTest::newRow("2 et 3") << 2 << 3 << 3;
    QTest::newRow("1 et 1") << 1 << 1 << 2;
}

void TestDonne::meneursHorsPlage()
{
    QFETCH(int, joueur);
    QFETCH(int, precedent);
    QFETCH(int, meneur);
    f->nouvellePartie();
    etat.premierJoueur = joueur;
    etat.premierPrecedent = precedent;
    f->Button2Click();
    QCOMPARE(etat.premierJoueur, meneur);
    QCOMPARE(etat.premierPrecedent, meneur);
    if (meneur == 1) {
        QVERIFY(d->pauses.isEmpty());
        QCOMPARE(d->bips, 1);
    } else {
        // The computer seats from the leader on have played, and the human's
        // turn has begun.
        QVERIFY(!d->pauses.isEmpty());
        QCOMPARE(etat.cartesRestantes[0], 12);
        QCOMPARE(f->Button4->isEnabled(), etat.dernierRang != 13);
        QCOMPARE(d->bips, 1);
    }
    QCOMPARE(verifierCartes(etat), QString());
}

void TestDonne::nouvellePartieSansPartieEnCours()
{
    QVERIFY(!partieEnCours);
    f->partieTerminee = true;
    f->Normal1->setEnabled(false);
    f->Difficile1->setEnabled(false);
    etat.cagnottes[2] = 77;
    f->NouvellePartie1->trigger();
    QVERIFY(d->boites.isEmpty());
    QVERIFY(partieEnCours);
    QVERIFY(!f->partieTerminee);
    for (int s = 0; s < nbSieges; ++s) {
        QCOMPARE(etat.tresor[s], 1500);
        QCOMPARE(f->affichagesTresor[s]->texte(), QStringLiteral("1500"));
    }
    for (int p = 0; p < nbCagnottes; ++p) {
        QCOMPARE(etat.cagnottes[p], 0);
        QCOMPARE(f->afficheurCagnotte(p)->texte(), QStringLiteral("0"));
    }
    QCOMPARE(etat.premierJoueur, 4);
    QCOMPARE(etat.premierPrecedent, 4);
    QVERIFY(f->Button2->isEnabled());
    QVERIFY(f->Normal1->isEnabled());
    QVERIFY(f->Difficile1->isEnabled());
}

void TestDonne::nouvellePartieQuestion_data()
{
    deuxLignes("oui", "Non", false, "Oui", true);
}

void TestDonne::nouvellePartieQuestion()
{
    QFETCH(bool, oui);
    f->nouvellePartie();
    f->Button2Click();
    // Some play, then money and pots off their start values.
    etat.tresor[1] = 999;
    etat.cagnottes[0] = 1234;
    f->afficherTresors();
    f->afficherCagnotte(0);
    const GameState avant = etat;
    d->oublier();
    d->reponses.enqueue(oui);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(d->boites, (QList<Boite>{{Boite::Confirmation, QStringLiteral("Voulez-vraiement mettre les compteurs à 1500")}}));
    if (!oui) {
        QCOMPARE(ecarts(etat, avant), QString());
        QCOMPARE(f->affichagesTresor[1]->texte(), QStringLiteral("999"));
        QCOMPARE(f->afficheurCagnotte(0)->texte(), QStringLiteral("1234"));
        QVERIFY(!f->Button2->isEnabled());
    } else {
        QCOMPARE(etat.tresor[1], 1500);
        QCOMPARE(etat.cagnottes[0], 0);
        QCOMPARE(f->affichagesTresor[1]->texte(), QStringLiteral("1500"));
        QVERIFY(f->Button2->isEnabled());
        // The round on the table stays as it was until the next deal.
        QVERIFY(std::memcmp(etat.mains, avant.mains, sizeof etat.mains) == 0);
        QVERIFY(std::memcmp(etat.talon, avant.talon, sizeof etat.talon) == 0);
        QCOMPARE(etat.dernierRang, avant.dernierRang);
    }
}

void TestDonne::donneApresNouvellePartieEnCoursDeManche()
{
    // A round in progress: the human has laid a card and may pass, and three
    // turn ends have been counted since the last card.
    f->nouvellePartie();
    f->Button2Click();
    QTest::mouseClick(f->Image1, Qt::LeftButton);
    QVERIFY(f->Button4->isEnabled());
    QVERIFY(f->Button5->isEnabled());
    etat.nbPasses = 3;
    // A new game in the middle of it, then a deal led by the human.
    d->reponses.enqueue(true);
    f->Button1Click();
    f->Button2Click();
    QCOMPARE(etat.premierJoueur, 1);
    QCOMPARE(etat.dernierRang, 13);
    QCOMPARE(etat.nbPasses, 0);
    QVERIFY(!f->Button4->isEnabled());
    QVERIFY(!f->Button5->isEnabled());
    // The pass cannot be clicked, so no skip can raise the rank past the king.
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(etat.dernierRang, 13);
    QCOMPARE(etat.nbPasses, 0);
    QVERIFY(d->pauses.isEmpty());
    // Any card still opens the run.
    QTest::mouseClick(f->Image5, Qt::LeftButton);
    QCOMPARE(etat.cartesRestantes[0], 11);
}

void TestDonne::donneQuiRuine()
{
    f->nouvellePartie();
    f->Button2Click();
    const GameState avant = etat;
    etat.tresor[2] = 150;
    d->oublier();
    f->Button2Click();
    // The stakes are taken, the bankruptcy check ends the game, nothing is dealt.
    QVERIFY(f->partieTerminee);
    QCOMPARE(etat.tresor[2], 0);
    QCOMPARE(etat.tresor[0], avant.tresor[0] - 150);
    for (int p = 0; p < nbCagnottes; ++p)
        QCOMPARE(etat.cagnottes[p], avant.cagnottes[p]);
    for (CardNumber n : etat.mains[0])
        QCOMPARE(n, 0);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(etat.compteDonne[i], 0);
    QCOMPARE(etat.carteJouee, 53);
    QCOMPARE(etat.premierJoueur, avant.premierJoueur);
    QVERIFY(!f->Button2->isEnabled());
    QVERIFY(!f->Button4->isEnabled());
    QCOMPARE(d->bips, 0);
}

void TestDonne::donneSansDebordement()
{
    // Amounts from a saved game may be anything: the stakes and the pots
    // wrap around instead of overflowing.
    f->nouvellePartie();
    etat.tresor[1] = INT32_MIN + 100;
    for (std::int32_t &pot : etat.cagnottes)
        pot = INT32_MAX - 10;
    f->Button2Click();
    QCOMPARE(etat.tresor[1], INT32_MAX - 49);
    QVERIFY(!f->partieTerminee);
    const int ajouts[nbCagnottes] = {200, 40, 80, 160, 120};
    for (int p = 0; p < nbCagnottes; ++p)
        QCOMPARE(etat.cagnottes[p], INT32_MIN + ajouts[p] - 11);
}

QTEST_MAIN(TestDonne)
#include "test_donne.moc"
