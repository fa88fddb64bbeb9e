// Whole games played by the driver through the real windows, with the
// game's invariants checked after every event: sensible games, from
// "&Nouvelle partie" to the close of the end-of-game window, and wandering
// ones, in which every control a player can reach is used at random, saves
// and loads included.
#include <QtTest>
#include <QFrame>
#include <QPushButton>
#include "support/pilote.h"

Q_DECLARE_METATYPE(Pilote::Maniere)

namespace {
// Games one after another on each table, as a player would play them, so
// that a load may bring back a game saved in an earlier one.
struct Serie {
    int tables, partiesParTable;
    quint32 premiereGraine, pas;
};
const Serie series[] = {
    {20, 10, 1000, 7919},     // 200 sensible games
    {25, 20, 77, 104729},     // 500 wandering games
};
} // namespace

class TestParties : public QObject {
    Q_OBJECT
private slots:
    void parties_data();
    void parties();
    void couverture();
    void fauteVue_data();
    void fauteVue();

private:
    struct Totaux {
        int parties = 0, manches = 0, records = 0, ruinesALaDonne = 0, difficiles = 0;
        qint64 evenements = 0;
        QHash<QString, int> compteurs;
    };
    Totaux totaux[2];
};

void TestParties::parties_data()
{
    QTest::addColumn<Pilote::Maniere>("maniere");
    QTest::addColumn<quint32>("graine");
    for (const Pilote::Maniere m : {Pilote::Sensee, Pilote::Errante})
        for (int t = 0; t < series[m].tables; ++t) {
            const quint32 graine = series[m].premiereGraine + series[m].pas * quint32(t);
            const char *nom = m == Pilote::Sensee ? "sensée" : "errante";
            QTest::addRow("%s, graine %u", nom, graine) << m << graine;
        }
}

void TestParties::parties()
{
    QFETCH(Pilote::Maniere, maniere);
    QFETCH(quint32, graine);
    Table table;
    Pilote pilote(table, graine, maniere);
    Totaux &t = totaux[maniere];
    for (int i = 0; i < series[maniere].partiesParTable; ++i) {
        const Pilote::Bilan bilan = pilote.jouerPartie();
        QVERIFY2(bilan.erreur.isEmpty(),
                 qPrintable(QStringLiteral("graine %1, partie %2 : %3").arg(graine).arg(i).arg(bilan.erreur)));
        QVERIFY(bilan.donnes >= 1);
        ++t.parties;
        t.manches += bilan.manches;
        t.records += bilan.record ? 1 : 0;
        t.ruinesALaDonne += bilan.ruineALaDonne ? 1 : 0;
        t.difficiles += bilan.difficile ? 1 : 0;
        t.evenements += bilan.evenements;
    }
    for (auto it = pilote.compteurs.cbegin(); it != pilote.compteurs.cend(); ++it)
        t.compteurs[it.key()] += it.value();
}

void TestParties::couverture()
{
    for (const Pilote::Maniere m : {Pilote::Sensee, Pilote::Errante})
        if (totaux[m].parties < series[m].tables * series[m].partiesParTable)
            QSKIP("only part of the games were played in this run");
    // The sensible games went through every way a game can end.
    const Totaux &s = totaux[Pilote::Sensee];
    qInfo("%d parties sensées, %d manches, %d records, %d ruines à la donne, %d au niveau Difficile", s.parties,
          s.manches, s.records, s.ruinesALaDonne, s.difficiles);
    QVERIFY(s.records > 0);
    QVERIFY(s.records < s.parties);
    QVERIFY(s.ruinesALaDonne > 0);
    QVERIFY(s.ruinesALaDonne < s.parties);
    QVERIFY(s.difficiles > 0);
    // The wandering games played every kind of event.
    const Totaux &e = totaux[Pilote::Errante];
    QStringList lignes;
    for (auto it = e.compteurs.cbegin(); it != e.compteurs.cend(); ++it)
        lignes << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    lignes.sort();
    qInfo("%d parties errantes, %lld événements : %s", e.parties, e.evenements, qPrintable(lignes.join(", ")));
    for (const char *genre : {"carte", "réclamer", "passer", "distribuer", "nouvelle", "sauvegarder", "charger",
                              "niveau", "voir", "effacer", "quitter", "fermer", "fin"})
        QVERIFY2(e.compteurs.value(QString::fromUtf8(genre)) > 0, genre);
}

void TestParties::fauteVue_data()
{
    QTest::addColumn<Pilote::Maniere>("maniere");
    QTest::addColumn<int>("faute");
    const char *const fautes[] = {"argent perdu", "carte en double", "fichier mv écrit", "table verrouillée",
                                  "Distribuer actif en manche", "premierPrecedent hors plage"};
    for (const Pilote::Maniere m : {Pilote::Sensee, Pilote::Errante})
        for (int faute = 0; faute < int(std::size(fautes)); ++faute)
            QTest::addRow("%s, %s", m == Pilote::Sensee ? "sensée" : "errante", fautes[faute]) << m << faute;
}

void TestParties::fauteVue()
{
    // The checks are real: a fault slipped into a round is caught by the
    // checks of the event in which it was slipped.
    QFETCH(Pilote::Maniere, maniere);
    QFETCH(int, faute);
    Table table;
    Pilote pilote(table, 4242, maniere);
    int evenements = 0, glissee = 0;
    pilote.aChaqueEvenement = [&](Pilote &, const QString &) {
        ++evenements;
        return QString();
    };
    // At a computer seat's pause early in a round, where the round cannot
    // end before the checks that follow.
    table.plateforme->aChaquePause = [&](int) {
        if (glissee != 0 || !partieEnCours || mancheFinie)
            return;
        for (std::int32_t restantes : etat.cartesRestantes)
            if (restantes < 10)
                return;
        glissee = evenements + 1;
        if (faute == 0)
            etat.cagnottes[0] += 10;
        else if (faute == 1)
            etat.talon[0] = etat.talon[1];
        else if (faute == 2)
            QFile(table.dossier + QStringLiteral("/mv")).open(QIODevice::WriteOnly);
        else if (faute == 3)
            table.fenetre->Panel1->setEnabled(false);
        else if (faute == 4)
            table.fenetre->Button2->setEnabled(true);
        else
            etat.premierPrecedent = 9;
    };
    const Pilote::Bilan bilan = pilote.jouerPartie();
    QVERIFY(glissee != 0);
    QVERIFY(!bilan.erreur.isEmpty());
    QCOMPARE(bilan.evenements, glissee);
}

QTEST_MAIN(TestParties)
#include "test_parties.moc"
