// Real input/output faults on every file step of the game: the load, the
// save, the best-score read at start-up, its reset and its record. Each row
// meets a real fault (no fake file layer): a missing file or folder, a name
// the system refuses, a file the unprivileged user may not touch, a link
// another user laid in a shared folder, a full tmpfs, the open-file limit
// reached, a folder where a file is expected. It
// checks the exact French message, that the previous file is whole byte for
// byte, and what the game holds afterwards.
#include <QtTest>
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "storage/meilleurscore.h"
#include "support/fichiers.h"
#include "support/petit_disque.h"
#include "support/sans_privileges.h"
#include "support/table.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"

namespace {

enum class Etape { Charger, Sauvegarder, LireScore, Effacer, Enregistrer };
enum class Panne {
    Absent, DossierAbsent, ATraversUnFichier, NomTropLong, Interdit, LienDUnAutre, LienPendantDUnAutre,
    DisquePlein, TropDeFichiers, Dossier
};

const QByteArray ancienneSauvegarde = "1200\r\n1800\r\n1400\r\n1600\r\n2\r\n2\r\n0\r\n";
const QByteArray ancienScore = "Ancien\r\n3000\r\n";

// The folder's entries, without the filler of a full disk.
QStringList entreesSansRemplissage(const QString &dossier)
{
    QStringList e = entrees(dossier);
    e.removeAll(QStringLiteral("remplissage"));
    return e;
}

} // namespace

Q_DECLARE_METATYPE(Etape)
Q_DECLARE_METATYPE(Panne)

class TestPannesEs : public QObject {
    Q_OBJECT
private slots:
    void pannes_data();
    void pannes();
};

void TestPannesEs::pannes_data()
{
    QTest::addColumn<Etape>("etape");
    QTest::addColumn<Panne>("panne");
    QTest::addColumn<QString>("message");
    const QString introuvable = QStringLiteral("Fichier introuvable.");
    const QString incorrect = QStringLiteral("Nom de fichier incorrect.");
    const QString refuse = QStringLiteral("Accès au fichier refusé.");
    const QString plein = QStringLiteral("Disque plein.");
    const QString trop = QStringLiteral("Trop de fichiers ouverts.");

    QTest::newRow("charger, fichier absent") << Etape::Charger << Panne::Absent << introuvable;
    QTest::newRow("charger, dossier absent") << Etape::Charger << Panne::DossierAbsent << introuvable;
    QTest::newRow("charger, chemin à travers un fichier") << Etape::Charger << Panne::ATraversUnFichier << incorrect;
    QTest::newRow("charger, nom trop long") << Etape::Charger << Panne::NomTropLong << incorrect;
    QTest::newRow("charger, fichier interdit") << Etape::Charger << Panne::Interdit << refuse;
    QTest::newRow("charger, trop de fichiers ouverts") << Etape::Charger << Panne::TropDeFichiers << trop;
    QTest::newRow("charger, un dossier") << Etape::Charger << Panne::Dossier << incorrect;

    QTest::newRow("sauvegarder, dossier absent") << Etape::Sauvegarder << Panne::DossierAbsent << introuvable;
    QTest::newRow("sauvegarder, chemin à travers un fichier") << Etape::Sauvegarder << Panne::ATraversUnFichier << incorrect;
    QTest::newRow("sauvegarder, nom trop long") << Etape::Sauvegarder << Panne::NomTropLong << incorrect;
    QTest::newRow("sauvegarder, dossier interdit") << Etape::Sauvegarder << Panne::Interdit << refuse;
    QTest::newRow("sauvegarder, disque plein") << Etape::Sauvegarder << Panne::DisquePlein << plein;
    QTest::newRow("sauvegarder, trop de fichiers ouverts") << Etape::Sauvegarder << Panne::TropDeFichiers << trop;
    QTest::newRow("sauvegarder, un dossier") << Etape::Sauvegarder << Panne::Dossier << incorrect;

    // A full disk does not stop a read.
    QTest::newRow("charger, disque plein") << Etape::Charger << Panne::DisquePlein << QString();
    QTest::newRow("lire le score, disque plein") << Etape::LireScore << Panne::DisquePlein << QString();
    QTest::newRow("lire le score, fichier absent") << Etape::LireScore << Panne::Absent << introuvable;
    QTest::newRow("lire le score, fichier interdit") << Etape::LireScore << Panne::Interdit << refuse;
    QTest::newRow("lire le score, trop de fichiers ouverts") << Etape::LireScore << Panne::TropDeFichiers << trop;
    QTest::newRow("lire le score, un dossier") << Etape::LireScore << Panne::Dossier << incorrect;

    // In a shared folder, the file's name is a link that another user laid
    // there, to the player's own file or to a name of his choosing.
    const char *noms[] = {"charger", "sauvegarder", "lire le score", "effacer", "enregistrer"};
    for (Etape e : {Etape::Charger, Etape::Sauvegarder, Etape::LireScore, Etape::Effacer, Etape::Enregistrer}) {
        QTest::addRow("%s, lien d'un autre", noms[int(e)]) << e << Panne::LienDUnAutre << refuse;
        QTest::addRow("%s, lien pendant d'un autre", noms[int(e)]) << e << Panne::LienPendantDUnAutre << refuse;
    }

    for (Etape e : {Etape::Effacer, Etape::Enregistrer}) {
        const char *nom = e == Etape::Effacer ? "effacer" : "enregistrer";
        QTest::addRow("%s, dossier de travail supprimé", nom) << e << Panne::DossierAbsent << introuvable;
        QTest::addRow("%s, dossier interdit", nom) << e << Panne::Interdit << refuse;
        QTest::addRow("%s, disque plein", nom) << e << Panne::DisquePlein << plein;
        QTest::addRow("%s, trop de fichiers ouverts", nom) << e << Panne::TropDeFichiers << trop;
        QTest::addRow("%s, un dossier", nom) << e << Panne::Dossier << incorrect;
    }
}

void TestPannesEs::pannes()
{
    QFETCH(Etape, etape);
    QFETCH(Panne, panne);
    QFETCH(QString, message);
    if (panne == Panne::Interdit || panne == Panne::LienDUnAutre || panne == Panne::LienPendantDUnAutre)
        SAUTER_SANS_ROOT();

    // The base folder under /tmp, passable by the unprivileged user, and the
    // game's folder "jeu" inside, writable by root alone.
    QTemporaryDir base;
    QVERIFY(base.isValid());
    QCOMPARE(::chmod(QFile::encodeName(base.path()).constData(), 0711), 0);
    const QString jeu = base.filePath(QStringLiteral("jeu"));
    QVERIFY(QDir().mkdir(jeu));
    QCOMPARE(::chmod(QFile::encodeName(jeu).constData(), 0755), 0);
    std::unique_ptr<PetitDisque> disque;
    if (panne == Panne::DisquePlein) {
        disque = std::make_unique<PetitDisque>(jeu, 16);
        if (!disque->monte())
            QSKIP(qPrintable(QStringLiteral("no tiny tmpfs can be mounted here: ") + disque->probleme()));
    }

    const bool score = etape == Etape::LireScore || etape == Etape::Effacer || etape == Etape::Enregistrer;
    const QString sauvegardeAncienne = jeu + QStringLiteral("/partie.svgMv");
    const QString mv = jeu + QStringLiteral("/mv");
    // The files already there, and what must stay as it is.
    QString temoin = score ? mv : sauvegardeAncienne;
    QByteArray temoinAvant = score ? ancienScore : ancienneSauvegarde;
    ecrireOctets(score ? mv : sauvegardeAncienne, temoinAvant);

    // The name the step uses, and the fault laid under it.
    QString nom = sauvegardeAncienne;
    switch (panne) {
    case Panne::Absent:
        if (score)
            QVERIFY(QFile::remove(mv));
        nom = jeu + QStringLiteral("/absente.svgMv");
        temoinAvant = score ? QByteArrayLiteral("<absent>") : temoinAvant;
        break;
    case Panne::DossierAbsent:
        nom = jeu + QStringLiteral("/absent/partie.svgMv");
        break;
    case Panne::ATraversUnFichier:
        ecrireOctets(jeu + QStringLiteral("/fichier"), "texte\r\n");
        nom = jeu + QStringLiteral("/fichier/partie.svgMv");
        break;
    case Panne::NomTropLong:
        nom = jeu + QLatin1Char('/') + QString(300, QLatin1Char('x')) + QStringLiteral(".svgMv");
        break;
    case Panne::Interdit:
        // Load and start-up read: a file only root may read. Writes: the
        // folder only root may write in.
        if (etape == Etape::Charger || etape == Etape::LireScore)
            QCOMPARE(::chmod(QFile::encodeName(temoin).constData(), 0600), 0);
        break;
    case Panne::LienDUnAutre:
    case Panne::LienPendantDUnAutre: {
        // The folder is shared as /tmp is; the player's file lies beside the link.
        QCOMPARE(::chmod(QFile::encodeName(jeu).constData(), 01777), 0);
        QVERIFY(QFile::remove(temoin));
        const QString cible = jeu + (panne == Panne::LienDUnAutre ? QStringLiteral("/a-moi") : QStringLiteral("/neuf"));
        QCOMPARE(lienSansPrivileges(cible, temoin), QString());
        if (panne == Panne::LienDUnAutre)
            ecrireOctets(cible, temoinAvant);
        else
            temoinAvant = "<absent>";
        temoin = cible;
        break;
    }
    case Panne::Dossier:
        if (score) {
            QVERIFY(QFile::remove(mv));
            QVERIFY(QDir().mkdir(mv));
            ecrireOctets(mv + QStringLiteral("/dedans"), "x");
            temoin = mv + QStringLiteral("/dedans");
            temoinAvant = "x";
        }
        nom = jeu + QStringLiteral("/dossier.svgMv");
        QVERIFY(QDir().mkdir(nom));
        break;
    case Panne::DisquePlein:
    case Panne::TropDeFichiers:
        break;
    }
    if (panne == Panne::DisquePlein)
        QVERIFY(disque->remplir());
    const QStringList entreesAvant = entreesSansRemplissage(jeu);

    // The table: for the start-up read it is made inside the step, except
    // in the unprivileged child (no new window can be made after the fork)
    // and without a free descriptor (the toolkit itself needs some to make
    // one); there the step runs the very read that the window's creation runs.
    std::unique_ptr<Table> table;
    if (etape != Etape::LireScore || panne == Panne::Interdit || panne == Panne::TropDeFichiers) {
        table = std::make_unique<Table>(true, jeu);
        table->plateforme->oublier();
        // A file dialog is built on first use and, like any window, needs
        // descriptors of its own; here the player has used both before.
        table->fenetre->dialogueOuvrir();
        table->fenetre->dialogueSauver();
        meilleurNom = QStringLiteral("Avant");
        meilleurScore = QStringLiteral("100");
    }
    if (panne == Panne::DossierAbsent && score) {
        // The working folder itself is gone from under the game.
        QVERIFY(QDir(jeu).removeRecursively());
        temoin.clear();
    }
    etat.tresor[0] = 2400;
    etat.tresor[1] = 1000;
    etat.tresor[2] = 900;
    etat.tresor[3] = 1100;
    etat.premierJoueur = etat.premierPrecedent = 3;
    for (int p = 0; p < nbCagnottes; ++p)
        etat.cagnottes[p] = 10 * (p + 1);
    etat.niveau = 0;
    QPointer<Tfinpartie> fin;
    if (etape == Etape::Enregistrer) {
        fin = new Tfinpartie(principale);
        fin->Edit1->setText(QStringLiteral("Nouveau"));
        fin->GroupBox2->show();
        fin->show();
    }
    if (table) {
        table->fenetre->Button6->setEnabled(true);
        table->plateforme->fichiers.enqueue(nom);
    }

    // The step, run here or in the unprivileged child; it reports the boxes
    // shown and whether the game is as it must be.
    auto faire = [&]() -> QByteArray {
        QStringList sortie;
        const GameState avant = etat;
        switch (etape) {
        case Etape::Charger:
            table->fenetre->Button3Click();
            break;
        case Etape::Sauvegarder:
            table->fenetre->Button6Click();
            break;
        case Etape::LireScore: {
            std::unique_ptr<Table> t;
            if (table)
                principale->lireMeilleurScore();
            else
                t = std::make_unique<Table>(true, jeu);
            sortie << (table ? table : t)->plateforme->textes();
            sortie << (meilleurNom.isEmpty() && meilleurScore.isEmpty() ? QStringLiteral("vide")
                                                                        : meilleurNom + QLatin1Char('/') + meilleurScore);
            return sortie.join(QLatin1Char('|')).toUtf8();
        }
        case Etape::Effacer:
            table->fenetre->Effacer1Click();
            break;
        case Etape::Enregistrer:
            fin->close();
            break;
        }
        sortie << table->plateforme->textes();
        switch (etape) {
        case Etape::Charger:
        case Etape::Sauvegarder:
            sortie << (etat == avant ? QStringLiteral("inchangé") : QStringLiteral("changé"));
            break;
        case Etape::Effacer:
            sortie << meilleurNom + QLatin1Char('/') + meilleurScore;
            break;
        default:
            sortie << meilleurNom + QLatin1Char('/') + meilleurScore
                    << (fin && fin->isVisible() ? QStringLiteral("ouverte") : QStringLiteral("fermée"))
                    << (principale->Panel1->isEnabled() || principale->Fichier->menuAction()->isEnabled()
                            ? QStringLiteral("libre")
                            : QStringLiteral("verrouillée"));
        }
        return sortie.join(QLatin1Char('|')).toUtf8();
    };

    const QByteArray sortie = executerDans(panne == Panne::Interdit         ? Milieu::SansPrivileges
                                           : panne == Panne::TropDeFichiers ? Milieu::SansDescripteurLibre
                                                                            : Milieu::Ordinaire,
                                           faire);

    QString attendu;
    if (message.isEmpty())
        attendu = etape == Etape::Charger ? QStringLiteral("changé") : QStringLiteral("Ancien/3000");
    else switch (etape) {
    case Etape::Charger:
    case Etape::Sauvegarder:
        attendu = message + QStringLiteral("|inchangé");
        break;
    case Etape::LireScore:
        attendu = message + QStringLiteral("|vide");
        break;
    case Etape::Effacer:
        // Memory holds the new values; the file keeps the old ones.
        attendu = message + QStringLiteral("|Personne/0");
        break;
    case Etape::Enregistrer:
        attendu = message + QStringLiteral("|Nouveau/2400|ouverte|verrouillée");
        break;
    }
    QCOMPARE(QString::fromUtf8(sortie), attendu);

    // The previous file is whole and nothing was left beside it.
    if (!temoin.isEmpty()) {
        QCOMPARE(lireOctets(temoin), temoinAvant);
        QCOMPARE(entreesSansRemplissage(jeu), entreesAvant);
    }
    if (fin) {
        // Once the fault is gone, the record goes through.
        if (panne == Panne::Dossier)
            QVERIFY(QDir(mv).removeRecursively());
        if (panne == Panne::DossierAbsent)
            QVERIFY(QDir().mkpath(jeu) && QDir::setCurrent(jeu));
        if (panne == Panne::DisquePlein)
            QVERIFY(QFile::remove(jeu + QStringLiteral("/remplissage")));
        if (panne == Panne::LienDUnAutre || panne == Panne::LienPendantDUnAutre)
            QVERIFY(QFile::remove(mv));
        if (panne != Panne::Interdit) {
            QVERIFY(fin->close());
            QCOMPARE(lireOctets(mv), QByteArray("Nouveau\r\n2400\r\n"));
        } else {
            // The refusal was the child's; here, as root, the window closes.
            QVERIFY(fin->close());
        }
    }
}

QTEST_MAIN(TestPannesEs)
#include "test_pannes_es.moc"
