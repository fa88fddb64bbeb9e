// A write cut short by SIGKILL: a child process saves a game, or records the
// best score, in a loop, alternating two contents of different lengths; the
// parent kills it after a random short delay, many times, and after each kill
// the file on disk must be exactly one of the two, never a mix, never empty,
// never gone.
#include <QtTest>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <atomic>
#include <csignal>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include "game/etat.h"
#include "storage/meilleurscore.h"
#include "storage/sauvegarde.h"
#include "support/table.h"

namespace {

enum Genre { PartieSauvegardee, MeilleurScore };

constexpr int nbCoupures = 200;

// Shared between the parent and the child it kills.
struct Partage {
    std::atomic<int> demarre;       // the child is in its loop
    std::atomic<long> ecritures;    // writes the child completed, all children together
};

QByteArray lireOctets(const QString &chemin, bool &existe)
{
    QFile f(chemin);
    existe = f.exists();
    if (!existe || !f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace

class TestCoupure : public QObject {
    Q_OBJECT
private slots:
    void coupure_data();
    void coupure();
};

void TestCoupure::coupure_data()
{
    QTest::addColumn<int>("genre");
    QTest::newRow("partie sauvegardée") << int(PartieSauvegardee);
    QTest::newRow("meilleur score") << int(MeilleurScore);
}

void TestCoupure::coupure()
{
    QFETCH(int, genre);
    // The window gives the working folder, the best-score commands and the
    // double that records any error box.
    Table table(false);
    const QString dossier = table.dossier;

    sauvegarde::Partie partieA;
    for (std::int32_t &t : partieA.tresor)
        t = 1500;
    partieA.premierJoueur = partieA.premierPrecedent = 1;
    sauvegarde::Partie partieB;
    partieB.tresor[0] = INT32_MIN;
    partieB.tresor[1] = 2400;
    partieB.tresor[2] = -150;
    partieB.tresor[3] = 3450;
    partieB.premierJoueur = 4;
    partieB.premierPrecedent = 3;
    partieB.niveau = 1;

    QString cible;
    QByteArray contenuA, contenuB;
    if (genre == PartieSauvegardee) {
        cible = dossier + QStringLiteral("/partie.svgMv");
        contenuA = "1500\r\n1500\r\n1500\r\n1500\r\n1\r\n1\r\n0\r\n";
        contenuB = "-2147483648\r\n2400\r\n-150\r\n3450\r\n4\r\n3\r\n1\r\n";
    } else {
        cible = dossier + QStringLiteral("/mv");
        // The reset on one side, a record by a nameless player on the other
        // (Normal is checked, so the money is not doubled).
        contenuA = "Personne\r\n0\r\n";
        contenuB = "\r\n1234567\r\n";
        etat.niveau = 0;
        etat.tresor[0] = 1234567;
        QVERIFY(table.fenetre->Normal1->isChecked());
    }
    QVERIFY(contenuA.size() != contenuB.size());

    // One write of A or B, true when it succeeded.
    auto ecrire = [&](bool b) {
        if (genre == PartieSauvegardee)
            return sauvegarde::ecrire(cible, b ? partieB : partieA) == 0;
        const qsizetype boites = table.plateforme->boites.size();
        if (b)
            table.fenetre->enregistrerMeilleurScore();
        else
            table.fenetre->Effacer1Click();
        return table.plateforme->boites.size() == boites;
    };

    // The old file is there before the first kill; the delays are spread over
    // a few times what one write takes here, so that kills land before,
    // inside and after writes.
    QElapsedTimer chrono;
    chrono.start();
    for (int i = 0; i < 5; ++i)
        QVERIFY(ecrire(i % 2 == 1));
    const qint64 dureeEcritureUs = qMax<qint64>(chrono.nsecsElapsed() / 5000, 100);
    bool existe = false;
    QCOMPARE(lireOctets(cible, existe), contenuA);
    table.plateforme->oublier();

    void *memoire = mmap(nullptr, sizeof(Partage), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    QVERIFY(memoire != MAP_FAILED);
    auto *partage = new (memoire) Partage{};

    const QRegularExpression nomTemporaire(QStringLiteral("^\\.mv\\.[A-Za-z0-9]{6}$"));
    QRandomGenerator &hasardTest = *QRandomGenerator::global();
    int coupures = 0, verifies = 0, abimes = 0, vusA = 0, vusB = 0;
    for (int k = 0; k < nbCoupures; ++k) {
        partage->demarre = 0;
        const pid_t enfant = fork();
        QVERIFY(enfant >= 0);
        if (enfant == 0) {
            // The child writes until it is killed; it never returns into the test.
            // It counts as started once its first write is done: a child just
            // forked pays for its copied memory in that write, which on a busy
            // machine can outlast every delay below.
            for (long i = k;; ++i) {
                if (!ecrire(i % 2 == 1))
                    _exit(3);
                partage->ecritures.fetch_add(1);
                partage->demarre = 1;
            }
        }
        while (partage->demarre.load() == 0)
            usleep(50);
        usleep(useconds_t(hasardTest.bounded(qint64(3 * dureeEcritureUs + 1000))));
        QCOMPARE(kill(enfant, SIGKILL), 0);
        int statut = 0;
        QCOMPARE(waitpid(enfant, &statut, 0), enfant);
        QVERIFY2(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL,
                 "the child stopped writing before it was killed");
        ++coupures;

        const QByteArray lu = lireOctets(cible, existe);
        ++verifies;
        if (!existe || (lu != contenuA && lu != contenuB)) {
            ++abimes;
            qWarning() << "after kill" << k << (existe ? "damaged file:" : "file gone") << lu;
        }
        vusA += lu == contenuA;
        vusB += lu == contenuB;
        // Whatever else is in the folder is a temporary file of the writer,
        // left by a kill between its creation and its rename.
        for (const QString &nom : QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (QDir(dossier).filePath(nom) != cible)
                QVERIFY2(nomTemporaire.match(nom).hasMatch(), qPrintable(nom));
        }
    }

    // The temporary files a kill leaves are harmless: each write makes its own
    // new unique name, so the next write neither reads nor trips over them.
    const int restes = QDir(dossier).entryList({QStringLiteral(".mv.*")}, QDir::Files | QDir::Hidden).size();
    QVERIFY(ecrire(true));
    QCOMPARE(lireOctets(cible, existe), contenuB);
    QVERIFY(ecrire(false));
    QCOMPARE(lireOctets(cible, existe), contenuA);

    qInfo("%s: %d kills, %d files checked, %d damaged, %d A and %d B found, %ld writes completed, "
          "%d temporary files left by kills; one write took %lld us",
          QTest::currentDataTag(), coupures, verifies, abimes, vusA, vusB, partage->ecritures.load(), restes,
          dureeEcritureUs);
    munmap(memoire, sizeof(Partage));
    QCOMPARE(abimes, 0);
    // Both contents were found on disk: the kills did land while the file changed.
    QVERIFY(vusA > 0);
    QVERIFY(vusB > 0);
}

QTEST_MAIN(TestCoupure)
#include "test_coupure.moc"
