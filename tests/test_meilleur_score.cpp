// The best score: the start-up read, the reset, the show box, the record made
// when the end-of-game window closes, and real file faults that must leave
// the previous file whole.
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "storage/meilleurscore.h"
#include "support/petit_disque.h"
#include "support/sans_privileges.h"
#include "support/table.h"
#include "support/fichiers.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"

namespace {

const QByteArray ancien = "Ancien\r\n1234\r\n";
const QString surLeVoir = QStringLiteral(" a fini la partie avec : ");

// A new end-of-game window as the settlement leaves it when the human beat
// the best score.
Tfinpartie *finAvecNom(const QString &nom)
{
    auto *f = new Tfinpartie(principale);
    f->Edit1->setText(nom);
    f->GroupBox2->show();
    f->show();
    return f;
}

void choisirNiveau(bool difficile)
{
    if (difficile)
        principale->Difficile1Click();
    else
        principale->Normal1Click();
}

QString voir(DoublePlateforme *d)
{
    d->oublier();
    principale->Voir1Click();
    return d->boites.size() == 1 && d->boites[0].genre == Boite::Simple ? d->boites[0].texte
                                                                         : QStringLiteral("<pas une boîte>");
}

} // namespace

class TestMeilleurScore : public QObject {
    Q_OBJECT
private slots:
    void sansFichierAuDemarrage();
    void lectureAuDemarrage_data();
    void lectureAuDemarrage();
    void lectureRefuseeAuDemarrage();
    void effacerDansUnDossierNeuf();
    void effacerRemplaceLAncien();
    void grandFichierAuDemarrage();
    void effacerParUnLienPendant();
    void enregistrer_data();
    void enregistrer();
    void nomAccentueApresRedemarrage();
    void enregistrementReessayeNeDoublePasDeuxFois();
    void pannesReelles_data();
    void pannesReelles();
};

void TestMeilleurScore::sansFichierAuDemarrage()
{
    Table t;
    QCOMPARE(t.plateforme->boites, (QList<Boite>{{Boite::Erreur, QStringLiteral("Fichier introuvable.")}}));
    QVERIFY(meilleurNom.isEmpty());
    QVERIFY(meilleurScore.isEmpty());
    QCOMPARE(voir(t.plateforme), QStringLiteral(" a fini la partie avec :  Euros"));
    // The button shows the same box as the menu item.
    t.plateforme->oublier();
    principale->Button7->click();
    QCOMPARE(t.plateforme->textes(), QStringList{QStringLiteral(" a fini la partie avec :  Euros")});
}

void TestMeilleurScore::lectureAuDemarrage_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("score");
    const QString longNom = QStringLiteral("Jérôme-").repeated(100);
    QTest::newRow("CR LF") << QByteArray("Paul\r\n2400\r\n") << "Paul" << "2400";
    QTest::newRow("LF seul") << QByteArray("Paul\n2400\n") << "Paul" << "2400";
    QTest::newRow("sans fin de ligne") << QByteArray("Paul\r\n2400") << "Paul" << "2400";
    QTest::newRow("nom seul") << QByteArray("Paul\r\n") << "Paul" << "";
    QTest::newRow("nom seul sans fin de ligne") << QByteArray("Paul") << "Paul" << "";
    QTest::newRow("vide") << QByteArray() << "" << "";
    QTest::newRow("Ctrl-Z") << QByteArray("Paul\r\n24\x1a" "00\r\n") << "Paul" << "24";
    QTest::newRow("lignes en trop") << QByteArray("Paul\r\n2400\r\nJean\r\n9999\r\n") << "Paul" << "2400";
    QTest::newRow("score pas un nombre") << QByteArray("Paul\r\ndeux mille\r\n") << "Paul" << "deux mille";
    QTest::newRow("blancs gardés") << QByteArray("  Paul \r\n 07\r\n") << "  Paul " << " 07";
    QTest::newRow("Latin-1") << QByteArray("H\xe9l\xe8ne\r\n-20\r\n") << QStringLiteral("Hélène") << "-20";
    QTest::newRow("nom de 700 caractères") << QByteArray(longNom.toLatin1() + "\r\n5000\r\n") << longNom << "5000";
}

void TestMeilleurScore::lectureAuDemarrage()
{
    QFETCH(QByteArray, octets);
    QFETCH(QString, nom);
    QFETCH(QString, score);
    QTemporaryDir dossier;
    ecrireOctets(dossier.filePath("mv"), octets);
    Table t(true, dossier.path());
    QCOMPARE(t.plateforme->boites, QList<Boite>{});
    QCOMPARE(meilleurNom, nom);
    QCOMPARE(meilleurScore, score);
    QCOMPARE(voir(t.plateforme), nom + surLeVoir + score + QStringLiteral(" Euros"));
    QCOMPARE(lireOctets(dossier.filePath("mv")), octets);
}

void TestMeilleurScore::lectureRefuseeAuDemarrage()
{
    SAUTER_SANS_ROOT();
    QTemporaryDir dossier;
    ecrireOctets(dossier.filePath("mv"), ancien);
    QCOMPARE(::chmod(QFile::encodeName(dossier.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(QFile::encodeName(dossier.filePath("mv")).constData(), 0600), 0);
    Table t(false, dossier.path());
    QCOMPARE(meilleurNom, QStringLiteral("Ancien"));
    const ResultatEnfant r = executerSansPrivileges([&] {
        t.plateforme->oublier();
        principale->lireMeilleurScore();
        return (t.plateforme->textes() << meilleurNom << meilleurScore).join(QLatin1Char('|')).toUtf8();
    });
    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(QString::fromUtf8(r.sortie), QStringLiteral("Accès au fichier refusé.||"));
}

void TestMeilleurScore::effacerDansUnDossierNeuf()
{
    Table t;
    t.plateforme->oublier();
    principale->Effacer1Click();
    QCOMPARE(t.plateforme->boites, QList<Boite>{});
    const QByteArray attendu("Personne\r\n0\r\n");
    QCOMPARE(attendu.size(), 13);
    QCOMPARE(lireOctets(QDir(t.dossier).filePath("mv")), attendu);
    QCOMPARE(entrees(t.dossier), QStringList{"mv"});
    QCOMPARE(voir(t.plateforme), QStringLiteral("Personne a fini la partie avec : 0 Euros"));
}

void TestMeilleurScore::effacerRemplaceLAncien()
{
    QTemporaryDir dossier;
    ecrireOctets(dossier.filePath("mv"), "Quelqu'un avec un long nom\r\n999999\r\nreste\r\n");
    Table t(true, dossier.path());
    principale->Effacer1Click();
    QCOMPARE(lireOctets(dossier.filePath("mv")), QByteArray("Personne\r\n0\r\n"));
    QCOMPARE(meilleurNom, QStringLiteral("Personne"));
    QCOMPARE(meilleurScore, QStringLiteral("0"));
}

void TestMeilleurScore::grandFichierAuDemarrage()
{
    // A file of 8 GiB whose two first lines are valid reads as those lines.
    QTemporaryDir dossier;
    ecrireOctets(dossier.filePath("mv"), "Paul\r\n2400\r\n");
    grossir(dossier.filePath("mv"), qint64(8) << 30);
    Table t(true, dossier.path());
    QCOMPARE(t.plateforme->textes(), QStringList());
    QCOMPARE(meilleurNom + QLatin1Char('/') + meilleurScore, QStringLiteral("Paul/2400"));
}

void TestMeilleurScore::effacerParUnLienPendant()
{
    // "mv" may be a link to a file kept elsewhere, which the reset creates.
    Table t;
    QVERIFY(QDir(t.dossier).mkdir("ailleurs"));
    QVERIFY(QFile::link(QStringLiteral("ailleurs/score"), QDir(t.dossier).filePath("mv")));
    t.plateforme->oublier();
    principale->Effacer1Click();
    QCOMPARE(t.plateforme->textes(), QStringList());
    QVERIFY(QFileInfo(QDir(t.dossier).filePath("mv")).isSymLink());
    QCOMPARE(lireOctets(QDir(t.dossier).filePath("ailleurs/score")), QByteArray("Personne\r\n0\r\n"));
}

void TestMeilleurScore::enregistrer_data()
{
    QTest::addColumn<bool>("difficile");
    QTest::addColumn<int>("niveau");
    QTest::addColumn<int>("argent");
    QTest::addColumn<int>("argentApres");
    QTest::addColumn<QString>("score");
    QTest::newRow("Difficile, niveau 0") << true << 0 << 2400 << 4800 << "4800";
    QTest::newRow("Normal, niveau 1") << false << 1 << 2400 << 2400 << "3400";
    QTest::newRow("Difficile, niveau 1") << true << 1 << 2400 << 4800 << "5800";
    QTest::newRow("Difficile, 1000 Euros") << true << 0 << 1000 << 2000 << "2000";
    QTest::newRow("Normal, niveau 0") << false << 0 << 6000 << 6000 << "6000";
    QTest::newRow("argent négatif") << false << 0 << -150 << -150 << "-150";
    // Values only a hand-edited saved game brings: no overflow; the score wraps
    // like the 32-bit money, so the end-of-game check can read it back.
    QTest::newRow("niveau hors plage") << false << 3000000 << 2000000000 << 2000000000 << "705032704";
    QTest::newRow("le double dépasse 32 bits") << true << 0 << 2000000000 << -294967296 << "-294967296";
}

void TestMeilleurScore::enregistrer()
{
    QFETCH(bool, difficile);
    QFETCH(int, niveau);
    QFETCH(int, argent);
    QFETCH(int, argentApres);
    QFETCH(QString, score);
    Table t;
    choisirNiveau(difficile);
    etat.niveau = niveau;
    etat.tresor[0] = argent;
    const std::int32_t autres[3] = {etat.tresor[1], etat.tresor[2], etat.tresor[3]};
    const QString affiche = principale->LCDNumber1->texte();
    t.plateforme->oublier();
    Tfinpartie *f = finAvecNom(QStringLiteral("Paul"));
    QVERIFY(f->close());
    QCOMPARE(t.plateforme->boites, QList<Boite>{});
    QCOMPARE(etat.tresor[0], argentApres);
    QCOMPARE(etat.tresor[1], autres[0]);
    QCOMPARE(etat.tresor[2], autres[1]);
    QCOMPARE(etat.tresor[3], autres[2]);
    QCOMPARE(meilleurNom, QStringLiteral("Paul"));
    QCOMPARE(meilleurScore, score);
    QCOMPARE(lireOctets(QDir(t.dossier).filePath("mv")), "Paul\r\n" + score.toLatin1() + "\r\n");
    // The money display is not refreshed by the record.
    QCOMPARE(principale->LCDNumber1->texte(), affiche);
}

void TestMeilleurScore::nomAccentueApresRedemarrage()
{
    QTemporaryDir dossier;
    const QString nom = QStringLiteral("Hélène Ñoël-Çà");
    {
        Table t(true, dossier.path());
        etat.tresor[0] = 2400;
        QVERIFY(finAvecNom(nom)->close());
        QCOMPARE(voir(t.plateforme), nom + surLeVoir + QStringLiteral("2400 Euros"));
    }
    QCOMPARE(lireOctets(dossier.filePath("mv")), QByteArray("H\xe9l\xe8ne \xd1o\xebl-\xc7\xe0\r\n2400\r\n"));
    meilleurNom.clear();
    Table t(true, dossier.path());
    QCOMPARE(t.plateforme->boites, QList<Boite>{});
    QCOMPARE(voir(t.plateforme), nom + surLeVoir + QStringLiteral("2400 Euros"));

    // A character that Latin-1 lacks is stored as "?".
    etat.tresor[0] = 2400;
    QVERIFY(finAvecNom(QStringLiteral("Zoë 5€"))->close());
    QCOMPARE(lireOctets(dossier.filePath("mv")), QByteArray("Zo\xeb 5?\r\n2400\r\n"));
}

void TestMeilleurScore::enregistrementReessayeNeDoublePasDeuxFois()
{
    Table t;
    choisirNiveau(true);
    etat.niveau = 0;
    etat.tresor[0] = 2400;
    // A folder where the file should be: the write fails.
    QVERIFY(QDir(t.dossier).mkdir("mv"));
    t.plateforme->oublier();
    QPointer<Tfinpartie> f = finAvecNom(QStringLiteral("Paul"));
    QVERIFY(!f->close());
    QCOMPARE(t.plateforme->textes(), QStringList{QStringLiteral("Nom de fichier incorrect.")});
    QVERIFY(f && f->isVisible());
    QCOMPARE(etat.tresor[0], 4800);
    QVERIFY(!f->close());
    QCOMPARE(etat.tresor[0], 4800);
    QCOMPARE(t.plateforme->boites.size(), 2);

    QVERIFY(QDir(t.dossier).rmdir("mv"));
    QVERIFY(f->close());
    QCOMPARE(etat.tresor[0], 4800);
    QCOMPARE(meilleurScore, QStringLiteral("4800"));
    QCOMPARE(lireOctets(QDir(t.dossier).filePath("mv")), QByteArray("Paul\r\n4800\r\n"));
    QCOMPARE(t.plateforme->boites.size(), 2);
    QTRY_VERIFY(f.isNull());

    // The next game's window doubles its own record again.
    etat.tresor[0] = 1000;
    QVERIFY(finAvecNom(QStringLiteral("Paul"))->close());
    QCOMPARE(etat.tresor[0], 2000);
}

enum class Panne { DossierProtege, FichierProtege, DisquePlein, TropDeFichiers };
Q_DECLARE_METATYPE(Panne)

void TestMeilleurScore::pannesReelles_data()
{
    QTest::addColumn<Panne>("panne");
    QTest::addColumn<bool>("enregistrement");   // the record at the window's close, else the reset
    QTest::addColumn<QString>("message");
    const struct {
        const char *nom;
        Panne panne;
        const char *message;
    } pannes[] = {
        {"dossier interdit en écriture", Panne::DossierProtege, "Accès au fichier refusé."},
        {"fichier interdit en écriture", Panne::FichierProtege, "Accès au fichier refusé."},
        {"disque plein", Panne::DisquePlein, "Disque plein."},
        {"trop de fichiers ouverts", Panne::TropDeFichiers, "Trop de fichiers ouverts."},
    };
    for (const auto &p : pannes) {
        QTest::addRow("effacer, %s", p.nom) << p.panne << false << QString::fromUtf8(p.message);
        QTest::addRow("enregistrer, %s", p.nom) << p.panne << true << QString::fromUtf8(p.message);
    }
}

void TestMeilleurScore::pannesReelles()
{
    QFETCH(Panne, panne);
    QFETCH(bool, enregistrement);
    QFETCH(QString, message);
    if (panne == Panne::DossierProtege || panne == Panne::FichierProtege)
        SAUTER_SANS_ROOT();

    Table t;
    // The work folder: a small disk of its own for the full disk, and a
    // parent the unprivileged user may pass through.
    const QString jeu = QDir(t.dossier).filePath("jeu");
    QVERIFY(QDir(t.dossier).mkdir("jeu"));
    QCOMPARE(::chmod(QFile::encodeName(t.dossier).constData(), 0711), 0);
    std::unique_ptr<PetitDisque> disque;
    if (panne == Panne::DisquePlein) {
        disque = std::make_unique<PetitDisque>(jeu, 16);
        if (!disque->monte())
            QSKIP(qPrintable(QStringLiteral("no tiny tmpfs here: ") + disque->probleme()));
    }
    ecrireOctets(jeu + "/mv", ancien);
    if (panne == Panne::FichierProtege)
        QCOMPARE(::chown(QFile::encodeName(jeu).constData(), idSansPrivileges, idSansPrivileges), 0);
    if (panne == Panne::DisquePlein)
        QVERIFY(disque->remplir());
    QVERIFY(QDir::setCurrent(jeu));

    etat.tresor[0] = 2400;
    QPointer<Tfinpartie> fin = enregistrement ? finAvecNom(QStringLiteral("Nouveau")) : nullptr;
    t.plateforme->oublier();
    // What the step shows and whether the window is still open.
    auto etape = [&]() -> QByteArray {
        if (enregistrement)
            fin->close();
        else
            principale->Effacer1Click();
        QStringList r = t.plateforme->textes();
        r << (fin && fin->isVisible() ? QStringLiteral("ouverte") : QStringLiteral("fermée")) << meilleurNom;
        return r.join(QLatin1Char('|')).toUtf8();
    };
    const QByteArray sortie = executerDans(panne == Panne::DossierProtege || panne == Panne::FichierProtege
                                               ? Milieu::SansPrivileges
                                           : panne == Panne::TropDeFichiers ? Milieu::SansDescripteurLibre
                                                                            : Milieu::Ordinaire,
                                           etape);
    const QString fenetre = enregistrement ? QStringLiteral("ouverte") : QStringLiteral("fermée");
    // Memory holds the new values: they differ from the file until the next write.
    const QString nom = enregistrement ? QStringLiteral("Nouveau") : QStringLiteral("Personne");
    QCOMPARE(QString::fromUtf8(sortie), QStringList({message, fenetre, nom}).join(QLatin1Char('|')));

    // The previous file is whole and no temporary file is left behind.
    QCOMPARE(lireOctets(jeu + "/mv"), ancien);
    QStringList reste = entrees(jeu);
    reste.removeAll(QStringLiteral("remplissage"));
    QCOMPARE(reste, QStringList{"mv"});
    QVERIFY(QDir::setCurrent(t.dossier));
}

QTEST_MAIN(TestMeilleurScore)
#include "test_meilleur_score.moc"
