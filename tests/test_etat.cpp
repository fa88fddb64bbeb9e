// Cards, ranks, the pot table and the random generator.
#include <QtTest>
#include "game/cartes.h"
#include "game/hasard.h"

class TestEtat : public QObject {
    Q_OBJECT
private slots:
    void rangDesCartes_data();
    void rangDesCartes();
};

void TestEtat::rangDesCartes_data()
{
    QTest::addColumn<int>("carte");
    QTest::addColumn<int>("attendu");
    QTest::newRow("roi de trèfle") << 13 << 13;
    QTest::newRow("roi de carreau") << 26 << 13;
    QTest::newRow("roi de cœur") << 39 << 13;
    QTest::newRow("roi de pique") << 52 << 13;
    QTest::newRow("as de carreau") << 14 << 1;
    QTest::newRow("case vide") << 0 << 0;
}

void TestEtat::rangDesCartes()
{
    QFETCH(int, carte);
    QFETCH(int, attendu);
    QCOMPARE(rang(carte), attendu);
}

QTEST_GUILESS_MAIN(TestEtat)
#include "test_etat.moc"
