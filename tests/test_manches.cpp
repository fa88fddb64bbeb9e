// Whole rounds played through the real window, from the deal to the first
// empty hand, by a small driver that clicks like a player: a playable card,
// sometimes a claim, sometimes a pass. After every event money plus pots stay
// at 6000 and every card is somewhere exactly once.
#include <QtTest>
#include <QCheckBox>
#include <QRandomGenerator>
#include "aide_tours.h"
#include "ui/fin_partie.h"
#include "ui/jg.h"

class TestManches : public QObject {
    Q_OBJECT
private slots:
    void centainesDeManches_data();
    void centainesDeManches();
};

namespace {

// Every card 1..52 exactly once among the hands, the talon and the cards
// laid so far; every count and index in its range.
QString verifierTable(const QList<CardNumber> &posees)
{
    int vues[53] = {};
    auto compter = [&vues](CardNumber n) {
        if (n >= 1 && n <= 52)
            ++vues[n];
    };
    for (int s = 0; s < nbSieges; ++s) {
        int dansLaMain = 0;
        for (CardNumber n : etat.mains[s]) {
            if (n < 0 || n > 52)
                return QStringLiteral("carte %1 dans la main %2").arg(n).arg(s + 1);
            if (n != 0)
                ++dansLaMain;
            compter(n);
        }
        if (dansLaMain != etat.cartesRestantes[s])
            return QStringLiteral("siège %1 : %2 cartes, compte %3").arg(s + 1).arg(dansLaMain).arg(etat.cartesRestantes[s]);
        if (principale->affichagesCartes[s]->texte() != QString::number(dansLaMain))
            return QStringLiteral("siège %1 : affichage %2").arg(s + 1).arg(principale->affichagesCartes[s]->texte());
    }
    for (CardNumber n : etat.talon)
        compter(n);
    for (CardNumber n : posees)
        compter(n);
    for (int n = 1; n <= 52; ++n)
        if (vues[n] != 1)
            return QStringLiteral("carte %1 vue %2 fois").arg(n).arg(vues[n]);
    if (etat.dernierRang < 1 || etat.dernierRang > 13)
        return QStringLiteral("dernierRang %1").arg(etat.dernierRang);
    if (etat.nbPasses < 0 || etat.nbPasses > 3)
        return QStringLiteral("nbPasses %1").arg(etat.nbPasses);
    if (etat.premierJoueur < 1 || etat.premierJoueur > 4)
        return QStringLiteral("premierJoueur %1").arg(etat.premierJoueur);
    if (argentTotal(etat) != 6000)
        return QStringLiteral("argent et cagnottes : %1").arg(argentTotal(etat));
    return QString();
}

} // namespace

void TestManches::centainesDeManches_data()
{
    QTest::addColumn<int>("manches");
    QTest::addColumn<quint32>("graine");     // the driver's own choices
    QTest::addColumn<int>("passe");          // chance in 100 of passing while a card could be laid
    QTest::newRow("joue dès qu'il peut") << 150 << quint32(1) << 0;
    QTest::newRow("passe souvent") << 150 << quint32(2) << 40;
}

void TestManches::centainesDeManches()
{
    QFETCH(int, manches);
    QFETCH(quint32, graine);
    QFETCH(int, passe);
    Table table;
    Tprincipale *f = table.fenetre.get();
    DoublePlateforme *d = table.plateforme;
    f->Son->setChecked(false);
    QRandomGenerator choix(graine);
    QList<CardNumber> posees;
    d->aChaquePause = [&posees](int) { posees << etat.carteJouee; };
    d->aChaqueBoite = [d](const Boite &b) {
        // The end-of-game window may ask to record a best score; any
        // question is answered Yes.
        if (b.genre == Boite::Confirmation)
            d->reponses.enqueue(true);
    };

    int jouees = 0, gagneesParLeJoueur = 0, prises = 0;
    for (int heure = 7, essais = 0; jouees < manches; heure += 86399 * 1000 / manches + 1) {
        QVERIFY2(++essais < manches * 3, "trop de parties finies à la donne");
        if (finpartie) {
            finpartie->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(!finpartie);
        if (!partieEnCours) {
            QTest::mouseClick(f->Button1, Qt::LeftButton);
            QVERIFY(partieEnCours);
        }
        QVERIFY(f->Button2->isEnabled());
        d->heure = heure % 86400000;
        posees.clear();
        QTest::mouseClick(f->Button2, Qt::LeftButton);
        if (f->partieTerminee)
            continue;   // a seat could not pay its stakes: a new game follows
        ++jouees;

        for (int evenement = 0; !mancheFinie; ++evenement) {
            const QString erreur = verifierTable(posees);
            QVERIFY2(erreur.isEmpty(), qPrintable(QStringLiteral("manche %1, événement %2 : %3").arg(jouees).arg(evenement).arg(erreur)));
            QVERIFY2(evenement < 500, "la manche ne finit pas");
            QList<int> jouables;
            for (int k = 0; k < tailleMain; ++k)
                if (estJouable(etat.mains[0][k], etat.dernierRang)) {
                    QVERIFY(f->imagesMain[k]->isVisible() && f->imagesMain[k]->isEnabled());
                    jouables << k;
                }
            const bool passer = f->Button4->isEnabled() &&
                                (jouables.isEmpty() || int(choix.bounded(100)) < passe);
            if (passer) {
                QTest::mouseClick(f->Button4, Qt::LeftButton);
                continue;
            }
            QVERIFY2(!jouables.isEmpty(), "le joueur ne peut ni jouer ni passer");
            const int k = jouables[int(choix.bounded(jouables.size()))];
            const CardNumber carte = etat.mains[0][k];
            QTest::mouseClick(f->imagesMain[k], Qt::LeftButton);
            QCOMPARE(etat.mains[0][k], 0);
            posees << carte;
            if (!mancheFinie && f->Button5->isEnabled() && cagnotteDeCarte(carte) >= 0 && choix.bounded(2)) {
                QTest::mouseClick(f->Button5, Qt::LeftButton);
                ++prises;
            }
        }

        // The round is over: one hand is empty, the others are not.
        const QString erreur = verifierTable(posees);
        QVERIFY2(erreur.isEmpty(), qPrintable(QStringLiteral("fin de la manche %1 : %2").arg(jouees).arg(erreur)));
        int vides = 0;
        for (int s = 0; s < nbSieges; ++s)
            vides += etat.cartesRestantes[s] == 0;
        QCOMPARE(vides, 1);
        QCOMPARE(etat.nbPasses, 0);
        gagneesParLeJoueur += etat.cartesRestantes[0] == 0;
        QVERIFY(finmanche);
        finmanche->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!finmanche);
        QCOMPARE(argentTotal(etat), std::int64_t(6000));
    }
    QCOMPARE(jouees, manches);
    // The driver has seen the human win some rounds and claim some pots.
    QVERIFY(gagneesParLeJoueur > 0);
    QVERIFY(prises > 0);
    d->aChaquePause = nullptr;
    d->aChaqueBoite = nullptr;
}

QTEST_MAIN(TestManches)
#include "test_manches.moc"
