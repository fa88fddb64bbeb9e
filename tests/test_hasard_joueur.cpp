// A random player through the real windows: hundreds of complete games in
// which every control a player can reach is used at random, saves and loads
// included, with the game's invariants checked after every event.
#include <QtTest>
#include <QFrame>
#include <QPushButton>
#include "support/hasardeux.h"

namespace {
constexpr int tables = 25;
constexpr int partiesParTable = 20;   // 500 complete games in all

QtMessageHandler gestionnaireQt = nullptr;

// The offscreen platform warns at every window and menu shown of what it
// cannot do; hundreds of games would bury any real message under it.
void filtrerMessages(QtMsgType type, const QMessageLogContext &contexte, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    gestionnaireQt(type, contexte, message);
}
} // namespace

class TestHasardJoueur : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void parties_data();
    void parties();
    void couverture();
    void fauteVue_data();
    void fauteVue();

private:
    int completes = 0;
    qint64 evenements = 0;
    QHash<QString, int> compteurs;
};

void TestHasardJoueur::initTestCase()
{
    gestionnaireQt = qInstallMessageHandler(filtrerMessages);
}

void TestHasardJoueur::parties_data()
{
    QTest::addColumn<quint32>("graine");
    for (int t = 0; t < tables; ++t)
        QTest::newRow(qPrintable(QStringLiteral("graine %1").arg(77 + 104729 * t))) << quint32(77 + 104729 * t);
}

void TestHasardJoueur::parties()
{
    QFETCH(quint32, graine);
    // Games one after another on one table, so that a load may bring back a
    // game saved in an earlier one.
    Table table;
    Hasardeux joueur(table, graine);
    for (int i = 0; i < partiesParTable; ++i) {
        const Hasardeux::Bilan bilan = joueur.jouerPartie();
        QVERIFY2(bilan.erreur.isEmpty(),
                 qPrintable(QStringLiteral("graine %1, partie %2 : %3").arg(graine).arg(i).arg(bilan.erreur)));
        ++completes;
        evenements += bilan.evenements;
    }
    for (auto it = joueur.compteurs.cbegin(); it != joueur.compteurs.cend(); ++it)
        compteurs[it.key()] += it.value();
}

void TestHasardJoueur::couverture()
{
    if (completes < tables * partiesParTable)
        QSKIP("only part of the games were played in this run");
    QStringList lignes;
    for (auto it = compteurs.cbegin(); it != compteurs.cend(); ++it)
        lignes << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    lignes.sort();
    qInfo("%d parties complètes, %lld événements : %s", completes, evenements, qPrintable(lignes.join(QStringLiteral(", "))));
    QVERIFY(completes >= 500);
    // Every kind of event was played.
    for (const char *genre : {"carte", "réclamer", "passer", "distribuer", "nouvelle", "sauvegarder", "charger",
                              "niveau", "voir", "effacer", "quitter", "fermer", "fin"})
        QVERIFY2(compteurs.value(QString::fromUtf8(genre)) > 0, genre);
}

void TestHasardJoueur::fauteVue_data()
{
    QTest::addColumn<int>("faute");
    QTest::newRow("argent perdu") << 0;
    QTest::newRow("carte en double") << 1;
    QTest::newRow("Distribuer actif en manche") << 2;
    QTest::newRow("table verrouillée") << 3;
    QTest::newRow("premierPrecedent hors plage") << 4;
}

void TestHasardJoueur::fauteVue()
{
    // The checks are real: a fault slipped into a round is caught.
    QFETCH(int, faute);
    Table table;
    Hasardeux joueur(table, 4242);
    bool glissee = false;
    // Slipped in at a computer seat's pause early in a round, where the
    // round cannot end before the checks that follow.
    table.plateforme->aChaquePause = [&](int) {
        if (glissee || !partieEnCours || mancheFinie)
            return;
        for (std::int32_t restantes : etat.cartesRestantes)
            if (restantes < 10)
                return;
        glissee = true;
        if (faute == 0)
            etat.cagnottes[0] += 10;
        else if (faute == 1)
            etat.talon[0] = etat.talon[1];
        else if (faute == 2)
            table.fenetre->Button2->setEnabled(true);
        else if (faute == 3)
            table.fenetre->Panel1->setEnabled(false);
        else
            etat.premierPrecedent = 9;
    };
    const Hasardeux::Bilan bilan = joueur.jouerPartie();
    QVERIFY(glissee);
    QVERIFY(!bilan.erreur.isEmpty());
}

QTEST_MAIN(TestHasardJoueur)
#include "test_hasard_joueur.moc"
