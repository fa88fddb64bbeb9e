// The turns of a round on prepared deals: the human's cards, pass and claim,
// the computer seats' runs, kings, skips and pots.
#include <QtTest>
#include <QCheckBox>
#include "aide_tours.h"

namespace {

// What the table looked like at one pause of a computer seat.
struct VueDePause {
    CardNumber carteJouee;
    CardNumber zoneDeJeu;      // card last drawn into the play zone
    bool zoneVisible;
    QString comptes[nbSieges]; // the card-count displays
    std::int32_t tresor[nbSieges];
    std::int32_t cagnottes[nbCagnottes];
};

} // namespace

class TestTours : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void exempleDUneManche();
    void carteNonValide_data();
    void carteNonValide();
    void legendeDuBoutonPasse_data();
    void legendeDuBoutonPasse();
    void roiDuJoueur_data();
    void roiDuJoueur();
    void roiDUnOrdinateur();
    void roiEnDerniereCarte();
    void sautJusquAuRoi();
    void passeSansCarteEtSautApresLeCinq();
    void septDeTrefleEtSeptDeCarreau();
    void priseParLeJoueur_data();
    void priseParLeJoueur();
    void priseParUnOrdinateur_data();
    void priseParUnOrdinateur();
    void priseSansDebordement();
    void derniereCarteDUnOrdinateur();
    void clicsPendantLesOrdinateurs();

private:
    // Records what the table shows at each pause.
    void observerLesPauses();

    QList<VueDePause> vues;
};

void TestTours::init()
{
    poserTable();
    vues.clear();
}

void TestTours::cleanup()
{
    leverTable();
}

void TestTours::observerLesPauses()
{
    d->aChaquePause = [this](int) {
        VueDePause v{etat.carteJouee, f->Image13->carte(), f->Image13->isVisible(), {}, {}, {}};
        std::copy(std::begin(etat.tresor), std::end(etat.tresor), v.tresor);
        std::copy(std::begin(etat.cagnottes), std::end(etat.cagnottes), v.cagnottes);
        for (int s = 0; s < nbSieges; ++s)
            v.comptes[s] = f->affichagesCartes[s]->texte();
        vues << v;
    };
}

// The human leads with the 4 of clubs and the 5 of hearts, claims for
// nothing and passes; seat 2 lays the 6 and 7 of diamonds and takes the 7's
// pot; nobody has an 8; the human passes again and seat 2 lays a 9.
void TestTours::exempleDUneManche()
{
    preparerDonne(*f,
                  {{1, 2, 3, 4, 5, 6, 7, 10, 23, 31, 36, 49},
                   {9, 19, 20, 14, 15, 16, 11, 12, 13, 24, 25, 26},
                   {17, 18, 22, 27, 28, 29, 30, 32, 33, 35, 37, 38},
                   {39, 40, 41, 42, 43, 44, 45, 46, 48, 50, 51, 52}},
                  {8, 21, 34, 47});
    QCOMPARE(verifierCartes(etat), QString());
    d->oublier();
    observerLesPauses();
    QCOMPARE(etat.dernierRang, 13);
    QCOMPARE(etat.nbPasses, 0);
    QVERIFY(!f->Button4->isEnabled());
    QVERIFY(!f->Button5->isEnabled());

    // The human lays a card from the slot given: it leaves the hand and the
    // play zone, the count and the rank follow.
    GameState attendu = etat;
    const auto poser = [&](CardNumber carte, int slot, std::int32_t restantes) {
        QCOMPARE(slotDe(1, carte), slot);
        QTest::mouseClick(f->imagesMain[slot], Qt::LeftButton);
        attendu.mains[0][slot] = 0;
        attendu.cartesRestantes[0] = restantes;
        attendu.carteJouee = carte;
        attendu.dernierRang = rang(carte);
        QCOMPARE(ecarts(etat, attendu), QString());
        QCOMPARE(f->Image13->carte(), carte);
        QCOMPARE(f->LCDNumber5->texte(), QString::number(restantes));
    };

    // 1. The 4 of clubs.
    poser(4, 3, 11);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 5"));
    QVERIFY(f->Button4->isEnabled());
    QVERIFY(f->Button5->isEnabled());
    QVERIFY(!f->imagesMain[3]->isVisible());
    QVERIFY(!f->imagesMain[3]->isEnabled());
    QVERIFY(d->boites.isEmpty());
    QVERIFY(d->pauses.isEmpty());

    // 2. The 5 of hearts, after the 5 of clubs: clubs first within a rank.
    poser(31, 5, 10);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 6"));

    // 3. A claim for a card that takes nothing.
    QTest::mouseClick(f->Button5, Qt::LeftButton);
    QCOMPARE(d->textes(), QStringList{QStringLiteral("Ce n'était pas une carte qui prenait")});
    QVERIFY(!f->Button5->isEnabled());
    QVERIFY(f->Button4->isEnabled());
    QCOMPARE(ecarts(etat, attendu), QString());

    // 4 and 5. The pass: seat 2 lays the 6 and the 7 of diamonds, each seen
    // on the play zone during its pause, and takes the 7's pot after the
    // pause; seats 3 and 4 have no 8.
    attendu.mains[1][slotDe(2, 19)] = 0;
    attendu.mains[1][slotDe(2, 20)] = 0;
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses, (QList<int>{500, 500}));
    QCOMPARE(vues.size(), 2);
    QCOMPARE(vues[0].carteJouee, 19);
    QCOMPARE(vues[0].zoneDeJeu, 19);
    QCOMPARE(vues[1].carteJouee, 20);
    QCOMPARE(vues[1].zoneDeJeu, 20);
    QVERIFY(vues[1].zoneVisible);
    QCOMPARE(vues[0].comptes[1], QStringLiteral("11"));   // the count goes with the card
    QCOMPARE(vues[1].comptes[1], QStringLiteral("10"));
    QCOMPARE(vues[1].tresor[1], 1350);       // not yet taken during the pause
    QCOMPARE(vues[1].cagnottes[0], 200);
    attendu.cartesRestantes[1] = 10;
    attendu.carteJouee = 20;
    attendu.dernierRang = 7;
    attendu.nbPasses = 3;                    // ends of seats 2, 3 and 4
    attendu.tresor[1] = 1550;
    attendu.cagnottes[0] = 0;
    QCOMPARE(ecarts(etat, attendu), QString());
    QCOMPARE(f->LCDNumber6->texte(), QStringLiteral("10"));
    QCOMPARE(f->LCDNumber7->texte(), QStringLiteral("12"));
    QCOMPARE(f->LCDNumber2->texte(), QStringLiteral("1550"));
    QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("1350"));
    QCOMPARE(f->LCDNumber13->texte(), QStringLiteral("0"));
    QCOMPARE(f->Image13->carte(), 20);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 8"));
    QVERIFY(f->Button4->isEnabled());
    QVERIFY(!f->Button5->isEnabled());
    QCOMPARE(d->bips, 1);
    QCOMPARE(d->boites.size(), 1);

    // 6. The human has no 8 and passes: the fourth turn end skips the 8,
    // seat 2 lays its 9, and nobody has a 10.
    vues.clear();
    attendu.mains[1][slotDe(2, 9)] = 0;
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(vues.size(), 1);
    QCOMPARE(vues[0].carteJouee, 9);
    attendu.cartesRestantes[1] = 9;
    attendu.carteJouee = 9;
    attendu.dernierRang = 9;
    attendu.nbPasses = 3;
    QCOMPARE(ecarts(etat, attendu), QString());
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 10"));
    QVERIFY(f->Button4->isEnabled());
    QCOMPARE(d->bips, 2);
    QCOMPARE(verifierCartes(etat), QString());
}

void TestTours::carteNonValide_data()
{
    QTest::addColumn<int>("avant");    // the card laid first
    QTest::addColumn<int>("refusee");  // then clicked
    QTest::newRow("même rang") << 5 << 18;
    QTest::newRow("rang trop haut") << 5 << 7;
    QTest::newRow("rang plus bas") << 5 << 4;
    QTest::newRow("un as après un roi n'est pas un 2") << 1 << 40;
}

void TestTours::carteNonValide()
{
    QFETCH(int, avant);
    QFETCH(int, refusee);
    preparerDonne(*f, {{avant, refusee, 30}, {2}, {3}, {6}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, avant)], Qt::LeftButton);
    d->oublier();
    const GameState etatAvant = etat;
    const QString legende = f->Button4->text();
    const bool passe = f->Button4->isEnabled(), prise = f->Button5->isEnabled();
    const int slot = slotDe(1, refusee);
    QTest::mouseClick(f->imagesMain[slot], Qt::LeftButton);
    QCOMPARE(d->boites, (QList<Boite>{{Boite::Simple, QStringLiteral("La carte n'est pas valide")}}));
    QCOMPARE(ecarts(etat, etatAvant), QString());
    QVERIFY(etat == etatAvant);
    QCOMPARE(f->Button4->text(), legende);
    QCOMPARE(f->Button4->isEnabled(), passe);
    QCOMPARE(f->Button5->isEnabled(), prise);
    QVERIFY(f->imagesMain[slot]->isVisible());
    QVERIFY(f->imagesMain[slot]->isEnabled());
    QCOMPARE(f->Image13->carte(), avant);
    QCOMPARE(f->LCDNumber5->texte(), QStringLiteral("2"));
}

void TestTours::legendeDuBoutonPasse_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<QString>("legende");
    QTest::newRow("as") << 27 << QStringLiteral("Sans 2");
    QTest::newRow("8") << 8 << QStringLiteral("Sans 9");
    QTest::newRow("9") << 48 << QStringLiteral("Sans 10");
    QTest::newRow("10") << 23 << QStringLiteral("Sans valet");
    QTest::newRow("valet") << 24 << QStringLiteral("Sans dame");
    QTest::newRow("dame") << 51 << QStringLiteral("Sans roi");
}

void TestTours::legendeDuBoutonPasse()
{
    QFETCH(int, carte);
    QFETCH(QString, legende);
    preparerDonne(*f, {{carte, 13}, {1}, {2}, {3}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, carte)], Qt::LeftButton);
    QCOMPARE(f->Button4->text(), legende);
    QVERIFY(f->Button4->isEnabled());
}

void TestTours::roiDuJoueur_data()
{
    deuxLignes("reclamer", "réclamé aussitôt", true, "une autre carte d'abord", false);
}

void TestTours::roiDuJoueur()
{
    QFETCH(bool, reclamer);
    preparerDonne(*f, {{11, 12, 39, 5, 44}, {1}, {2}, {3}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 11)], Qt::LeftButton);
    QTest::mouseClick(f->imagesMain[slotDe(1, 12)], Qt::LeftButton);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans roi"));
    QTest::mouseClick(f->imagesMain[slotDe(1, 39)], Qt::LeftButton);
    // After a king any card opens the next run: the human must lay one.
    QCOMPARE(etat.dernierRang, 13);
    QVERIFY(!f->Button4->isEnabled());
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans roi"));
    QVERIFY(f->Button5->isEnabled());
    d->oublier();
    if (reclamer) {
        QTest::mouseClick(f->Button5, Qt::LeftButton);
        QVERIFY(d->boites.isEmpty());
        QCOMPARE(etat.tresor[0], 1350 + 160);
        QCOMPARE(etat.cagnottes[3], 0);
        QCOMPARE(f->LCDNumber1->texte(), QStringLiteral("1510"));
        QCOMPARE(f->LCDNumber10->texte(), QStringLiteral("0"));
        QVERIFY(!f->Button5->isEnabled());
    }
    QTest::mouseClick(f->imagesMain[slotDe(1, 5)], Qt::LeftButton);
    QCOMPARE(etat.dernierRang, 5);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 6"));
    QVERIFY(f->Button4->isEnabled());
    if (!reclamer) {
        // The chance is gone once another card is laid.
        QTest::mouseClick(f->Button5, Qt::LeftButton);
        QCOMPARE(d->textes(), QStringList{QStringLiteral("Ce n'était pas une carte qui prenait")});
        QCOMPARE(etat.tresor[0], 1350);
        QCOMPARE(etat.cagnottes[3], 160);
        QCOMPARE(f->LCDNumber10->texte(), QStringLiteral("160"));
    }
}

void TestTours::roiDUnOrdinateur()
{
    // After the human's queen, seat 2 lays its king, then at once its lowest
    // card and the run from there; of its two 4s only the club is laid.
    preparerDonne(*f, {{12, 40}, {30, 26, 2, 3, 4}, {14}, {27}}, {});
    observerLesPauses();
    QTest::mouseClick(f->imagesMain[slotDe(1, 12)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QList<int> posees;
    for (const VueDePause &v : vues)
        posees << v.carteJouee;
    QCOMPARE(posees, (QList<int>{26, 2, 3, 4}));
    QCOMPARE(d->pauses, (QList<int>{500, 500, 500, 500}));
    QVERIFY(slotDe(2, 30) >= 0);
    QCOMPARE(etat.cartesRestantes[1], 1);
    QCOMPARE(f->LCDNumber6->texte(), QStringLiteral("1"));
    QCOMPARE(etat.dernierRang, 4);
    QCOMPARE(etat.nbPasses, 3);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 5"));
    QVERIFY(f->Button4->isEnabled());
    QCOMPARE(d->bips, 1);
    QVERIFY(!mancheFinie);
}

void TestTours::roiEnDerniereCarte()
{
    // Seat 2's last card is a king: the round ends there, seats 3 and 4 do
    // not play and the human's turn does not begin.
    preparerDonne(*f, {{12, 5}, {26}, {1}, {2}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 12)], Qt::LeftButton);
    d->oublier();
    const std::int32_t argentDe3 = etat.tresor[2];
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses, QList<int>{500});
    QVERIFY(mancheFinie);
    QCOMPARE(etat.cartesRestantes[1], 0);
    QCOMPARE(etat.carteJouee, 26);
    QCOMPARE(etat.nbPasses, 0);
    QCOMPARE(etat.cartesRestantes[2], 1);
    QVERIFY(slotDe(3, 1) >= 0);
    QCOMPARE(etat.cartesRestantes[3], 1);
    QVERIFY(slotDe(4, 2) >= 0);
    QVERIFY(!f->Button4->isEnabled());
    QCOMPARE(d->bips, 0);
    // Seat 3 paid for its ace: the round was settled with seat 2 as winner.
    QCOMPARE(etat.tresor[2], argentDe3 - 10);
}

void TestTours::sautJusquAuRoi()
{
    // Nobody can follow the human's queen with a king: the fourth turn end,
    // at seat 4, raises the rank to 13. The pass button stays disabled and
    // keeps its caption; the human must open the next run.
    preparerDonne(*f, {{12, 5}, {1, 2}, {3}, {6}}, {13, 26, 39, 52});
    QTest::mouseClick(f->imagesMain[slotDe(1, 12)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QVERIFY(d->pauses.isEmpty());
    QCOMPARE(etat.dernierRang, 13);
    QCOMPARE(etat.nbPasses, 0);
    QVERIFY(!f->Button4->isEnabled());
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans roi"));
    QVERIFY(!f->Button5->isEnabled());
    QCOMPARE(d->bips, 1);
    QTest::mouseClick(f->imagesMain[slotDe(1, 5)], Qt::LeftButton);
    QCOMPARE(etat.carteJouee, 5);
    QVERIFY(d->boites.isEmpty());
}

void TestTours::passeSansCarteEtSautApresLeCinq()
{
    // The human lays a 5 and passes; seats 2, 3 and 4 have no 6: the 6 is
    // skipped at the end of seat 4's turn.
    preparerDonne(*f, {{5, 9, 10}, {1, 8}, {2, 8 + 13}, {3, 8 + 26}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 5)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(etat.dernierRang, 6);
    QCOMPARE(etat.nbPasses, 0);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 7"));
    QVERIFY(f->Button4->isEnabled());
    // The human passes without laying a card: it counts as a turn end, and
    // with the three seats lacking a 7 the 7 is skipped in turn.
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QVERIFY(d->pauses.isEmpty());
    QCOMPARE(etat.dernierRang, 7);
    QCOMPARE(etat.nbPasses, 0);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 8"));
    QVERIFY(f->Button4->isEnabled());
}

void TestTours::septDeTrefleEtSeptDeCarreau()
{
    preparerDonne(*f, {{32, 1}, {7, 20, 40}, {2}, {3}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 32)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses, QList<int>{500});
    QCOMPARE(etat.carteJouee, 7);
    QCOMPARE(etat.dernierRang, 7);
    QVERIFY(slotDe(2, 20) >= 0);
    QVERIFY(slotDe(2, 40) >= 0);
    QCOMPARE(etat.cartesRestantes[1], 2);
    QCOMPARE(etat.cagnottes[0], 200);
    QCOMPARE(etat.tresor[1], 1350);
    QCOMPARE(f->Button4->text(), QStringLiteral("Sans 8"));
}

void TestTours::priseParLeJoueur_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<int>("pot");      // -1: takes nothing
    QTest::addColumn<int>("montant");
    QTest::newRow("10 de carreau") << 23 << 1 << 40;
    QTest::newRow("7 de carreau") << 20 << 0 << 200;
    QTest::newRow("valet de trèfle") << 11 << 2 << 80;
    QTest::newRow("dame de pique") << 51 << 4 << 120;
    QTest::newRow("roi de cœur") << 39 << 3 << 160;
    QTest::newRow("roi de trèfle") << 13 << -1 << 0;
    QTest::newRow("10 de cœur") << 36 << -1 << 0;
}

void TestTours::priseParLeJoueur()
{
    QFETCH(int, carte);
    QFETCH(int, pot);
    QFETCH(int, montant);
    preparerDonne(*f, {{carte, 2}, {3}, {4}, {5}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, carte)], Qt::LeftButton);
    d->oublier();
    GameState attendu = etat;
    QTest::mouseClick(f->Button5, Qt::LeftButton);
    QVERIFY(!f->Button5->isEnabled());
    if (pot < 0) {
        QCOMPARE(d->textes(), QStringList{QStringLiteral("Ce n'était pas une carte qui prenait")});
    } else {
        QVERIFY(d->boites.isEmpty());
        attendu.tresor[0] += montant;
        attendu.cagnottes[pot] = 0;
        QCOMPARE(f->afficheurCagnotte(pot)->texte(), QStringLiteral("0"));
        QCOMPARE(f->LCDNumber1->texte(), QString::number(1350 + montant));
    }
    QCOMPARE(ecarts(etat, attendu), QString());
}

void TestTours::priseParUnOrdinateur_data()
{
    QTest::addColumn<int>("siege");
    QTest::newRow("KORBANIGUE") << 3;
    QTest::newRow("Orvane BELTRUCQ") << 4;
}

void TestTours::priseParUnOrdinateur()
{
    // The seat lays the 7 of diamonds after the human's 6: the lowest card of
    // a full hand, in its first slot. It takes the 7's pot once the pause is
    // over; no other seat's money is touched.
    QFETCH(int, siege);
    const std::initializer_list<CardNumber> pleine = {20, 9, 22, 35, 48, 10, 36, 49, 24, 37, 50, 13};
    if (siege == 3)
        preparerDonne(*f, {{6, 1}, {2}, pleine, {5}}, {});
    else
        preparerDonne(*f, {{6, 1}, {2}, {5}, pleine}, {});
    observerLesPauses();
    QTest::mouseClick(f->imagesMain[slotDe(1, 6)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses, QList<int>{500});
    QCOMPARE(vues.size(), 1);
    QCOMPARE(vues[0].carteJouee, 20);
    QCOMPARE(vues[0].zoneDeJeu, 20);
    QCOMPARE(vues[0].cagnottes[0], 200);
    QCOMPARE(vues[0].tresor[siege - 1], 1350);
    QCOMPARE(etat.cagnottes[0], 0);
    for (int s = 1; s <= nbSieges; ++s)
        QCOMPARE(etat.tresor[s - 1], s == siege ? 1550 : 1350);
    QCOMPARE(f->affichagesTresor[siege - 1]->texte(), QStringLiteral("1550"));
    QCOMPARE(f->afficheurCagnotte(0)->texte(), QStringLiteral("0"));
    QCOMPARE(f->affichagesCartes[siege - 1]->texte(), QStringLiteral("11"));
    QVERIFY(d->boites.isEmpty());
}

void TestTours::priseSansDebordement()
{
    // Amounts from a saved game may be anything: a claim wraps around
    // instead of overflowing (the sanitizer build would stop on overflow).
    preparerDonne(*f, {{23, 2}, {3}, {4}, {5}}, {});
    etat.tresor[0] = INT32_MAX;
    QTest::mouseClick(f->imagesMain[slotDe(1, 23)], Qt::LeftButton);
    QTest::mouseClick(f->Button5, Qt::LeftButton);
    QCOMPARE(etat.tresor[0], INT32_MIN + 39);
    QCOMPARE(f->LCDNumber1->texte(), QString::number(INT32_MIN + 39));
    QCOMPARE(etat.cagnottes[1], 0);
}

void TestTours::derniereCarteDUnOrdinateur()
{
    preparerDonne(*f, {{1, 5}, {9}, {2}, {3}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 1)], Qt::LeftButton);
    d->oublier();
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses, QList<int>{500});
    QVERIFY(mancheFinie);
    QCOMPARE(etat.carteJouee, 2);
    QCOMPARE(etat.cartesRestantes[2], 0);
    QCOMPARE(etat.nbPasses, 0);
    // Seat 4 did not play: it could have laid its 3.
    QVERIFY(slotDe(4, 3) >= 0);
    QCOMPARE(etat.cartesRestantes[3], 1);
    QVERIFY(!f->Button4->isEnabled());
    QCOMPARE(d->bips, 0);
}

void TestTours::clicsPendantLesOrdinateurs()
{
    // While seat 2 lays its king and run, the player clicks the 4 of clubs
    // (playable after the king, and again when the turn comes back) and
    // presses Return (the pass is the default button). The real pause drops
    // that input; nothing of it is applied, neither during nor after the
    // chain.
    preparerDonne(*f, {{12, 4, 30}, {26, 14, 15, 16, 33}, {40}, {41}}, {});
    QTest::mouseClick(f->imagesMain[slotDe(1, 12)], Qt::LeftButton);
    ImageCarte *quatre = f->imagesMain[slotDe(1, 4)];
    QVERIFY(quatre->isVisible() && quatre->isEnabled());
    d->oublier();
    d->aChaquePause = [this, quatre](int) {
        const QPointF point(10, 30);
        QCoreApplication::postEvent(quatre, new QMouseEvent(QEvent::MouseButtonPress, point, quatre->mapToGlobal(point),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(quatre, new QMouseEvent(QEvent::MouseButtonRelease, point, quatre->mapToGlobal(point),
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        PlateformeReelle().pause(0);
    };
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    d->aChaquePause = nullptr;
    QCoreApplication::processEvents();
    QCOMPARE(d->pauses.size(), 4);
    QCOMPARE(etat.carteJouee, 16);
    QCOMPARE(etat.dernierRang, 3);
    QCOMPARE(etat.cartesRestantes[0], 2);
    QVERIFY(slotDe(1, 4) >= 0);
    QVERIFY(quatre->isVisible());
    QVERIFY(d->boites.isEmpty());
    QCOMPARE(etat.nbPasses, 3);
    // The click the player makes now is taken.
    QTest::mouseClick(quatre, Qt::LeftButton);
    QCOMPARE(etat.carteJouee, 4);
}

QTEST_MAIN(TestTours)
#include "test_tours.moc"
