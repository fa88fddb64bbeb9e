// Whole games played by the driver through the real windows, from
// "&Nouvelle partie" to the close of the end-of-game window, with the game's
// invariants checked after every event.
#include <QtTest>
#include <QFrame>
#include "support/pilote.h"

namespace {
constexpr int partiesParTable = 10;
constexpr int tables = 20;          // 200 games in all

QtMessageHandler gestionnaireQt = nullptr;

// The offscreen platform warns at every window shown, and at every menu
// opened, of what it cannot do; thousands of games would bury any real message under it.
void filtrerMessages(QtMsgType type, const QMessageLogContext &contexte, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    gestionnaireQt(type, contexte, message);
}
} // namespace

class TestParties : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void partiesCompletes_data();
    void partiesCompletes();
    void couverture();
    void piloteDetecteUneFaute_data();
    void piloteDetecteUneFaute();

private:
    int parties = 0, records = 0, ruinesALaDonne = 0, difficiles = 0, manches = 0;
};

void TestParties::initTestCase()
{
    gestionnaireQt = qInstallMessageHandler(filtrerMessages);
}

void TestParties::partiesCompletes_data()
{
    QTest::addColumn<quint32>("graine");
    for (int t = 0; t < tables; ++t)
        QTest::newRow(qPrintable(QStringLiteral("graine %1").arg(1000 + 7919 * t))) << quint32(1000 + 7919 * t);
}

void TestParties::partiesCompletes()
{
    QFETCH(quint32, graine);
    // Several games on one table, one after another, as a player would.
    Table table;
    Pilote pilote(table, graine);
    for (int i = 0; i < partiesParTable; ++i) {
        const Pilote::Bilan bilan = pilote.jouerPartie();
        QVERIFY2(bilan.erreur.isEmpty(),
                 qPrintable(QStringLiteral("graine %1, partie %2 : %3").arg(graine).arg(i).arg(bilan.erreur)));
        QVERIFY(bilan.donnes >= 1);
        ++parties;
        manches += bilan.manches;
        records += bilan.record ? 1 : 0;
        ruinesALaDonne += bilan.ruineALaDonne ? 1 : 0;
        difficiles += bilan.difficile ? 1 : 0;
    }
}

void TestParties::couverture()
{
    if (parties < tables * partiesParTable)
        QSKIP("only part of the games were played in this run");
    // The games went through every way a game can end.
    qInfo("%d parties, %d manches, %d records, %d ruines à la donne, %d au niveau Difficile", parties, manches,
          records, ruinesALaDonne, difficiles);
    QVERIFY(records > 0);
    QVERIFY(records < parties);
    QVERIFY(ruinesALaDonne > 0);
    QVERIFY(ruinesALaDonne < parties);
    QVERIFY(difficiles > 0);
}

void TestParties::piloteDetecteUneFaute_data()
{
    QTest::addColumn<int>("faute");
    QTest::newRow("argent perdu") << 0;
    QTest::newRow("carte en double") << 1;
    QTest::newRow("fichier mv écrit") << 2;
    QTest::newRow("table verrouillée") << 3;
}

void TestParties::piloteDetecteUneFaute()
{
    // The driver's checks are real: a fault slipped in at the 30th event is
    // caught at once.
    QFETCH(int, faute);
    Table table;
    Pilote pilote(table, 42);
    int evenements = 0;
    pilote.aChaqueEvenement = [&](Pilote &, const QString &) {
        if (++evenements != 30)
            return QString();
        if (faute == 0)
            etat.cagnottes[0] += 10;
        else if (faute == 1)
            etat.talon[0] = etat.talon[1];
        else if (faute == 2)
            QFile(table.dossier + QStringLiteral("/mv")).open(QIODevice::WriteOnly);
        else
            table.fenetre->Panel1->setEnabled(false);
        return QString();
    };
    const Pilote::Bilan bilan = pilote.jouerPartie();
    QVERIFY(!bilan.erreur.isEmpty());
    // Caught by the checks that follow that event, or by the next event's.
    QVERIFY2(bilan.evenements == 30 || bilan.evenements == 31, qPrintable(bilan.erreur));
}

QTEST_MAIN(TestParties)
#include "test_parties.moc"
