// The checked text-file layer: lines, integers, Latin-1, the French
// messages, and writes that replace a file only once they are complete.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "storage/fichiertexte.h"
#include "support/fichiers.h"
#include "support/sans_privileges.h"

using fichier::Ecriture;
using fichier::Lecture;

namespace {

// Writes one line to the file through the layer: 0 or the first error.
int ecrireUneLigne(const QString &chemin, const QString &ligne)
{
    Ecriture f;
    int code = f.ouvrir(chemin);
    if (code == 0)
        code = f.ecrireLigne(ligne);
    if (code == 0)
        code = f.fermer();
    return code;
}

// Standard input read from the descriptor given (which the guard takes
// over) while the guard lives; the old input is back when it ends, also
// when a check fails on the way, so that no later test reads the pipe.
class EntreeDepuis {
public:
    explicit EntreeDepuis(int fd) : source(fd), ancienne(::dup(0)) { ::dup2(fd, 0); }
    ~EntreeDepuis()
    {
        if (ancienne >= 0) {
            ::dup2(ancienne, 0);
            ::close(ancienne);
        } else {
            ::close(0);
        }
        ::close(source);
    }
    EntreeDepuis(const EntreeDepuis &) = delete;
    EntreeDepuis &operator=(const EntreeDepuis &) = delete;

private:
    const int source;
    const int ancienne;
};

} // namespace

class TestFichierTexte : public QObject {
    Q_OBJECT
private slots:
    void init();

    void messages_data();
    void messages();

    void lignes_data();
    void lignes();
    void ligneDUnMillionDOctets();
    void ligneAuDelaDe16Mio();
    void grandFichierLuSeulementAuDebut();

    void entiers_data();
    void entiers();
    void entierApresLeTexteDUneLigne();

    void ecritureLatin1();
    void ecritureRemplaceSeulementAuBout();
    void ecritureAbandonneeLaisseLAncien();
    void droits_data();
    void droits();
    void proprietaire();
    void liens_data();
    void liens();
    void liensDansUnDossierPartage_data();
    void liensDansUnDossierPartage();
    void dossierRemplaceAvantLaFin();
    void lienPhysique();

    void ouvertureEchoue_data();
    void ouvertureEchoue();
    void tropDeFichiersOuverts();
    void fichiersSansFin();
    void pasDeLectureSansOuverture();

private:
    std::unique_ptr<QTemporaryDir> dossier;
    QString chemin(const QString &nom) const { return dossier->filePath(nom); }
    // Makes the links "name>target" in this order. "@" in a target stands
    // for the test folder; a name after "*" is laid by uid 65534.
    void poserLiens(const QStringList &liens);
};

void TestFichierTexte::init()
{
    dossier = std::make_unique<QTemporaryDir>();
    QVERIFY(dossier->isValid());
}

void TestFichierTexte::messages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("introuvable") << ENOENT << "Fichier introuvable";
    QTest::newRow("dossier absent du chemin") << ENOTDIR << "Nom de fichier incorrect";
    QTest::newRow("nom trop long") << ENAMETOOLONG << "Nom de fichier incorrect";
    QTest::newRow("nom vide") << EINVAL << "Nom de fichier incorrect";
    QTest::newRow("un dossier") << EISDIR << "Nom de fichier incorrect";
    QTest::newRow("trop pour le processus") << EMFILE << "Trop de fichiers ouverts";
    QTest::newRow("trop pour le système") << ENFILE << "Trop de fichiers ouverts";
    QTest::newRow("droits") << EACCES << "Accès au fichier refusé";
    QTest::newRow("interdit") << EPERM << "Accès au fichier refusé";
    QTest::newRow("lecture seule") << EROFS << "Accès au fichier refusé";
    QTest::newRow("plein") << ENOSPC << "Disque plein";
    QTest::newRow("quota") << EDQUOT << "Disque plein";
    QTest::newRow("fin") << fichier::finDeFichier << "Lecture au-delà de la fin de fichier";
    QTest::newRow("nombre") << fichier::saisieNumerique << "Saisie numérique incorrecte";
    QTest::newRow("autre") << EIO << "Erreur E/S 5";
    QTest::newRow("autre encore") << EXDEV << "Erreur E/S 18";
}

void TestFichierTexte::messages()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(fichier::messageErreur(code), message);
}

void TestFichierTexte::lignes_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QStringList>("attendu");   // the first three lines read
    QTest::newRow("CR LF") << QByteArray("Paul\r\n2400\r\n") << QStringList{"Paul", "2400", ""};
    QTest::newRow("LF seul") << QByteArray("Paul\n2400\n") << QStringList{"Paul", "2400", ""};
    QTest::newRow("sans fin de ligne") << QByteArray("Paul\r\n2400") << QStringList{"Paul", "2400", ""};
    QTest::newRow("une seule ligne") << QByteArray("Paul\r\n") << QStringList{"Paul", "", ""};
    QTest::newRow("vide") << QByteArray() << QStringList{"", "", ""};
    QTest::newRow("CR seul reste dans la ligne") << QByteArray("a\rb\r\nc") << QStringList{"a\rb", "c", ""};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a\r", "b", ""};
    QTest::newRow("ligne vide au milieu") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("Ctrl-Z finit le fichier") << QByteArray("Paul\r\n24\x1a" "00\r\nJean\r\n")
                                              << QStringList{"Paul", "24", ""};
    QTest::newRow("Ctrl-Z en tête") << QByteArray("\x1aPaul\r\n") << QStringList{"", "", ""};
    QTest::newRow("Latin-1") << QByteArray("H\xe9l\xe8ne \xc7\xe0 \xff\r\n")
                             << QStringList{QStringLiteral("Hélène Çà ÿ"), "", ""};
    QTest::newRow("octet nul") << QByteArray("a\0b\r\nc", 6) << QStringList{QString::fromLatin1("a\0b", 3), "c", ""};
    QTest::newRow("lignes en trop ignorées") << QByteArray("1\n2\n3\n4\n") << QStringList{"1", "2", "3"};
    // The file is read 64 KiB at a time: a line end across two reads.
    QTest::newRow("CR LF à cheval sur deux lectures") << QByteArray(65535, 'x') + "\r\nfin\r\n"
                                                      << QStringList{QString(65535, QLatin1Char('x')), "fin", ""};
}

void TestFichierTexte::lignes()
{
    QFETCH(QByteArray, octets);
    QFETCH(QStringList, attendu);
    ecrireOctets(chemin("f"), octets);
    Lecture f;
    QCOMPARE(f.ouvrir(chemin("f")), 0);
    QStringList lues;
    for (int i = 0; i < attendu.size(); ++i) {
        QString ligne = QStringLiteral("reste");
        QCOMPARE(f.lireLigne(ligne), 0);
        lues.append(ligne);
    }
    QCOMPARE(lues, attendu);
    QCOMPARE(f.fermer(), 0);
}

void TestFichierTexte::ligneDUnMillionDOctets()
{
    const QByteArray longue(1000000, 'x');
    for (const QByteArray &fin : {QByteArray("\r\nsuite\r\n"), QByteArray()}) {
        ecrireOctets(chemin("f"), longue + fin);
        Lecture f;
        QCOMPARE(f.ouvrir(chemin("f")), 0);
        QString ligne;
        QCOMPARE(f.lireLigne(ligne), 0);
        QCOMPARE(ligne.size(), longue.size());
        QCOMPARE(f.lireLigne(ligne), 0);
        QCOMPARE(ligne, fin.isEmpty() ? QString() : QStringLiteral("suite"));
    }
}

void TestFichierTexte::ligneAuDelaDe16Mio()
{
    // A line of 20 MiB is kept to its first 16 MiB; the next line reads whole.
    ecrireOctets(chemin("f"), "Paul");
    grossir(chemin("f"), 20 << 20);
    QFile suite(chemin("f"));
    QVERIFY(suite.open(QIODevice::Append));
    QCOMPARE(suite.write("\r\n2400\r\n"), 8);
    suite.close();
    Lecture f;
    QCOMPARE(f.ouvrir(chemin("f")), 0);
    QString ligne;
    QCOMPARE(f.lireLigne(ligne), 0);
    QCOMPARE(ligne.size(), 16 << 20);
    QVERIFY(ligne.startsWith(QStringLiteral("Paul")));
    QCOMPARE(f.lireLigne(ligne), 0);
    QCOMPARE(ligne, QStringLiteral("2400"));
}

void TestFichierTexte::grandFichierLuSeulementAuDebut()
{
    // Files of 8 GiB whose first lines are valid read as those lines, and
    // only their first bytes are read.
    ecrireOctets(chemin("lignes"), "Paul\r\n2400\r\n");
    ecrireOctets(chemin("entiers"), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
    grossir(chemin("lignes"), qint64(8) << 30);
    grossir(chemin("entiers"), qint64(8) << 30);
    const qint64 lusAvant = octetsLusParLeProcessus();
    QVERIFY(lusAvant >= 0);

    Lecture f;
    QCOMPARE(f.ouvrir(chemin("lignes")), 0);
    QString nom, score;
    QCOMPARE(f.lireLigne(nom), 0);
    QCOMPARE(f.lireLigne(score), 0);
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(nom + QLatin1Char('/') + score, QStringLiteral("Paul/2400"));
    QCOMPARE(f.ouvrir(chemin("entiers")), 0);
    QList<int> valeurs;
    for (int i = 0; i < 7; ++i) {
        std::int32_t v = 0;
        QCOMPARE(f.lireEntier(v), 0);
        valeurs.append(v);
    }
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(valeurs, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    QVERIFY2(octetsLusParLeProcessus() - lusAvant < (1 << 20),
             qPrintable(QString::number(octetsLusParLeProcessus() - lusAvant)));
}

void TestFichierTexte::entiers_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QList<int>>("valeurs");   // read one after another
    QTest::addColumn<int>("echec");            // index of the value that fails, -1 for none
    using L = QList<int>;
    QTest::newRow("sept lignes") << QByteArray("1500\r\n-20\r\n0\r\n7\r\n2\r\n2\r\n1\r\n")
                                 << L{1500, -20, 0, 7, 2, 2, 1} << -1;
    QTest::newRow("LF seul") << QByteArray("1\n2\n") << L{1, 2} << -1;
    QTest::newRow("texte après le nombre") << QByteArray("1500 et des mots\r\n3\r\n") << L{1500, 3} << -1;
    QTest::newRow("lignes vides avant") << QByteArray("\r\n\r\n  \t 42\r\n") << L{42} << -1;
    QTest::newRow("signe plus") << QByteArray("+5\r\n") << L{5} << -1;
    QTest::newRow("fin de fichier lue 0") << QByteArray("9\r\n") << L{9, 0, 0} << -1;
    QTest::newRow("fichier vide") << QByteArray() << L{0, 0} << -1;
    QTest::newRow("Ctrl-Z") << QByteArray("9\r\n\x1a" "8\r\n") << L{9, 0} << -1;
    QTest::newRow("octets nuls sautés") << QByteArray("\0\0 12\r\n", 7) << L{12} << -1;
    QTest::newRow("sans fin de ligne") << QByteArray("-7") << L{-7, 0} << -1;
    QTest::newRow("plus grand") << QByteArray("2147483647\r\n") << L{2147483647} << -1;
    QTest::newRow("plus petit") << QByteArray("-2147483648\r\n") << L{INT32_MIN} << -1;
    QTest::newRow("32 caractères") << QByteArray(30, '0') + "42\r\n" << L{42} << -1;
    QTest::newRow("33 caractères") << QByteArray(31, '0') + "42\r\n" << L{0} << 0;
    QTest::newRow("trop grand") << QByteArray("1\r\n2147483648\r\n") << L{1, 0} << 1;
    QTest::newRow("trop petit") << QByteArray("-2147483649\r\n") << L{0} << 0;
    QTest::newRow("très grand") << QByteArray("99999999999999999999\r\n") << L{0} << 0;
    QTest::newRow("lettres") << QByteArray("1\r\n2\r\nabc\r\n4\r\n") << L{1, 2, 0} << 2;
    QTest::newRow("chiffres puis lettres") << QByteArray("12abc\r\n") << L{0} << 0;
    QTest::newRow("signe seul") << QByteArray("-\r\n") << L{0} << 0;
    QTest::newRow("deux signes") << QByteArray("--3\r\n") << L{0} << 0;
    QTest::newRow("hexadécimal") << QByteArray("0x10\r\n") << L{0} << 0;
    QTest::newRow("un million de chiffres") << QByteArray(1000000, '7') << L{0} << 0;
    QTest::newRow("nombre à cheval sur deux lectures") << QByteArray(65534, ' ') + "1234 x\r\n5\r\n"
                                                        << L{1234, 5} << -1;
    QTest::newRow("Ctrl-Z dans la deuxième lecture") << QByteArray(70000, ' ') + "\x1a" "5\r\n" << L{0} << -1;
}

void TestFichierTexte::entiers()
{
    QFETCH(QByteArray, octets);
    QFETCH(QList<int>, valeurs);
    QFETCH(int, echec);
    ecrireOctets(chemin("f"), octets);
    Lecture f;
    QCOMPARE(f.ouvrir(chemin("f")), 0);
    for (int i = 0; i < valeurs.size(); ++i) {
        std::int32_t v = 12345;
        const int code = f.lireEntier(v);
        QCOMPARE(code, i == echec ? fichier::saisieNumerique : 0);
        QCOMPARE(int(v), valeurs[i]);
    }
}

void TestFichierTexte::entierApresLeTexteDUneLigne()
{
    // The rest of the number's line is skipped, even when it holds numbers.
    ecrireOctets(chemin("f"), "Paul\r\n10 20 30\r\n40\r\n");
    Lecture f;
    QCOMPARE(f.ouvrir(chemin("f")), 0);
    QString nom;
    QCOMPARE(f.lireLigne(nom), 0);
    std::int32_t a = 0, b = 0;
    QCOMPARE(f.lireEntier(a), 0);
    QCOMPARE(f.lireEntier(b), 0);
    QCOMPARE(a, 10);
    QCOMPARE(b, 40);
}

void TestFichierTexte::ecritureLatin1()
{
    Ecriture f;
    QCOMPARE(f.ouvrir(chemin("f")), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("Hélène Çà")), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("10 € 😀 ok")), 0);
    QCOMPARE(f.ecrireLigne(QString()), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("-5")), 0);
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(lireOctets(chemin("f")), QByteArray("H\xe9l\xe8ne \xc7\xe0\r\n10 ? ? ok\r\n\r\n-5\r\n"));

    // Read back, the Latin-1 letters come out as they went in.
    Lecture l;
    QCOMPARE(l.ouvrir(chemin("f")), 0);
    QString ligne;
    QCOMPARE(l.lireLigne(ligne), 0);
    QCOMPARE(ligne, QStringLiteral("Hélène Çà"));
}

void TestFichierTexte::ecritureRemplaceSeulementAuBout()
{
    ecrireOctets(chemin("mv"), "Ancien\r\n100\r\n");
    Ecriture f;
    QCOMPARE(f.ouvrir(chemin("mv")), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("Nouveau")), 0);
    // Until the close, the old file is what a reader sees.
    QCOMPARE(lireOctets(chemin("mv")), QByteArray("Ancien\r\n100\r\n"));
    QCOMPARE(f.ecrireLigne(QStringLiteral("200")), 0);
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(lireOctets(chemin("mv")), QByteArray("Nouveau\r\n200\r\n"));
    QCOMPARE(entrees(dossier->path()), QStringList{"mv"});
    // A closed file takes no more lines.
    QCOMPARE(f.ecrireLigne(QStringLiteral("x")), EBADF);
    QCOMPARE(f.fermer(), EBADF);
}

void TestFichierTexte::ecritureAbandonneeLaisseLAncien()
{
    ecrireOctets(chemin("mv"), "Ancien\r\n100\r\n");
    {
        Ecriture f;
        QCOMPARE(f.ouvrir(chemin("mv")), 0);
        QCOMPARE(f.ecrireLigne(QStringLiteral("Nouveau")), 0);
        QCOMPARE(entrees(dossier->path()).size(), 2);   // mv and the temporary file
    }
    QCOMPARE(lireOctets(chemin("mv")), QByteArray("Ancien\r\n100\r\n"));
    QCOMPARE(entrees(dossier->path()), QStringList{"mv"});
}

void TestFichierTexte::droits_data()
{
    QTest::addColumn<int>("masque");     // the umask of the writer
    QTest::addColumn<int>("ancien");     // the mode of the file replaced, -1 for a new file
    QTest::addColumn<int>("attendu");
    QTest::newRow("nouveau, umask 022") << 022 << -1 << 0644;
    QTest::newRow("nouveau, umask 077") << 077 << -1 << 0600;
    QTest::newRow("nouveau, umask 002") << 002 << -1 << 0664;
    QTest::newRow("nouveau, umask 0") << 0 << -1 << 0666;
    QTest::newRow("remplacé, 0600 sous umask 022") << 022 << 0600 << 0600;
    QTest::newRow("remplacé, 0664 sous umask 077") << 077 << 0664 << 0664;
    QTest::newRow("remplacé, set-uid perdu") << 022 << 04755 << 0755;
    QTest::newRow("remplacé, set-gid perdu") << 022 << 02664 << 0664;
    QTest::newRow("remplacé, sticky perdu") << 022 << 01666 << 0666;
}

void TestFichierTexte::droits()
{
    QFETCH(int, masque);
    QFETCH(int, ancien);
    QFETCH(int, attendu);
    if (ancien >= 0) {
        ecrireOctets(chemin("f"), "x\r\n");
        QCOMPARE(::chmod(QFile::encodeName(chemin("f")).constData(), mode_t(ancien)), 0);
    }
    // The umask is the process's: it is changed in a child only.
    const ResultatEnfant r = executerDansUnEnfant([&] {
        ::umask(mode_t(masque));
        return QByteArray::number(ecrireUneLigne(chemin("f"), QStringLiteral("y")));
    });
    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(r.sortie, QByteArray("0"));
    QCOMPARE(lireOctets(chemin("f")), QByteArray("y\r\n"));
    QCOMPARE(QString::number(modeDe(chemin("f")), 8), QString::number(attendu, 8));
}

void TestFichierTexte::proprietaire()
{
    SAUTER_SANS_ROOT();
    // Root keeps the owner and group of the file it replaces.
    QCOMPARE(::chmod(QFile::encodeName(dossier->path()).constData(), 0777), 0);
    const QByteArray autre = QFile::encodeName(chemin("autre"));
    ecrireOctets(chemin("autre"), "x\r\n");
    QCOMPARE(::chown(autre.constData(), idSansPrivileges, idSansPrivileges), 0);
    Ecriture f;
    QCOMPARE(f.ouvrir(chemin("autre")), 0);
    QCOMPARE(f.fermer(), 0);
    struct stat infos;
    QCOMPARE(::stat(autre.constData(), &infos), 0);
    QCOMPARE(infos.st_uid, uid_t(idSansPrivileges));
    QCOMPARE(infos.st_gid, gid_t(idSansPrivileges));

    // A user who may not give the file to its owner still writes it: the
    // new file is then his, with the old mode.
    ecrireOctets(chemin("commun"), "x\r\n");
    QCOMPARE(::chmod(QFile::encodeName(chemin("commun")).constData(), 0666), 0);
    const ResultatEnfant r = executerSansPrivileges(
        [&] { return QByteArray::number(ecrireUneLigne(chemin("commun"), QStringLiteral("y"))); });
    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(r.sortie, QByteArray("0"));
    QCOMPARE(lireOctets(chemin("commun")), QByteArray("y\r\n"));
    QCOMPARE(::stat(QFile::encodeName(chemin("commun")).constData(), &infos), 0);
    QCOMPARE(infos.st_uid, uid_t(idSansPrivileges));
    QCOMPARE(infos.st_mode & 07777, mode_t(0666));
}

void TestFichierTexte::poserLiens(const QStringList &liens)
{
    for (const QString &lien : liens) {
        QString cible = lien.section(QLatin1Char('>'), 1);
        cible.replace(QLatin1Char('@'), dossier->path());
        const QString nom = lien.section(QLatin1Char('>'), 0, 0);
        if (nom.startsWith(QLatin1Char('*')))
            QCOMPARE(lienSansPrivileges(cible, chemin(nom.mid(1))), QString());
        else
            QVERIFY(QFile::link(cible, chemin(nom)));
    }
}

void TestFichierTexte::liens_data()
{
    QTest::addColumn<QStringList>("liens");    // "name>target", made in this order
    QTest::addColumn<QString>("nom");          // the name written through
    QTest::addColumn<QString>("ecrit");        // the file that gets the text, "" when none
    QTest::addColumn<QString>("message");      // "" on success
    const QString boucle = QStringLiteral("Nom de fichier incorrect");
    QTest::newRow("lien vers un fichier") << QStringList{"lien>vrai/mv"} << "lien" << "vrai/mv" << "";
    QTest::newRow("lien pendant") << QStringList{"lien>vrai/neuf"} << "lien" << "vrai/neuf" << "";
    QTest::newRow("lien pendant, cible absolue") << QStringList{"lien>@/vrai/neuf"} << "lien" << "vrai/neuf" << "";
    QTest::newRow("lien relatif à son dossier") << QStringList{"vrai/lien>../vrai/neuf"} << "vrai/lien" << "vrai/neuf"
                                                << "";
    QTest::newRow("chaîne de liens") << QStringList{"b>vrai/mv", "a>b"} << "a" << "vrai/mv" << "";
    QTest::newRow("chaîne pendante") << QStringList{"b>vrai/neuf", "a>b"} << "a" << "vrai/neuf" << "";
    QTest::newRow("lien vers un dossier absent") << QStringList{"lien>absent/neuf"} << "lien" << ""
                                                 << "Fichier introuvable";
    QTest::newRow("boucle de deux liens") << QStringList{"a>b", "b>a"} << "a" << "" << boucle;
    QTest::newRow("lien vers lui-même") << QStringList{"a>a"} << "a" << "" << boucle;
}

void TestFichierTexte::liens()
{
    QFETCH(QStringList, liens);
    QFETCH(QString, nom);
    QFETCH(QString, ecrit);
    QFETCH(QString, message);
    QVERIFY(QDir(dossier->path()).mkdir("vrai"));
    ecrireOctets(chemin("vrai/mv"), "Ancien\r\n");
    poserLiens(liens);
    const QStringList avant = entrees(dossier->path()) + entrees(chemin("vrai"));

    QCOMPARE(fichier::messageErreur(ecrireUneLigne(chemin(nom), QStringLiteral("Nouveau"))), message);

    // The links stay links; the text went to the file at the end of them.
    for (const QString &lien : liens)
        QVERIFY(QFileInfo(chemin(lien.section(QLatin1Char('>'), 0, 0))).isSymLink());
    QStringList apres = entrees(dossier->path()) + entrees(chemin("vrai"));
    if (!ecrit.isEmpty()) {
        QCOMPARE(lireOctets(chemin(ecrit)), QByteArray("Nouveau\r\n"));
        if (ecrit != QLatin1String("vrai/mv"))
            QVERIFY(apres.removeOne(ecrit.section(QLatin1Char('/'), -1)));
    } else {
        QCOMPARE(lireOctets(chemin("vrai/mv")), QByteArray("Ancien\r\n"));
        // A read through the same name fails alike.
        Lecture l;
        QCOMPARE(fichier::messageErreur(l.ouvrir(chemin(nom))), message);
    }
    QCOMPARE(apres, avant);
}

void TestFichierTexte::liensDansUnDossierPartage_data()
{
    QTest::addColumn<bool>("dossierDeLAutre");   // "commun" is uid 65534's, else the player's
    QTest::addColumn<QStringList>("liens");      // "name>target" in this order, "*name" laid by uid 65534
    QTest::addColumn<QString>("nom");            // the name written and read through
    QTest::addColumn<bool>("suivi");             // the player's file is reached, else access is refused
    const QString partie = QStringLiteral("commun/partie");
    QTest::newRow("lien d'un autre vers un fichier du joueur")
        << false << QStringList{"*commun/partie>../joueur/fichier"} << partie << false;
    QTest::newRow("lien pendant d'un autre") << false << QStringList{"*commun/partie>../joueur/neuf"} << partie
                                             << false;
    QTest::newRow("chaîne passant par un lien d'un autre")
        << false << QStringList{"*commun/relais>../joueur/fichier", "joueur/partie>../commun/relais"}
        << "joueur/partie" << false;
    QTest::newRow("dossier d'un autre sur le chemin")
        << false << QStringList{"*commun/rep>../joueur"} << "commun/rep/fichier" << false;
    QTest::newRow("lien du joueur") << true << QStringList{"commun/partie>../joueur/fichier"} << partie << true;
    QTest::newRow("lien du propriétaire du dossier")
        << true << QStringList{"*commun/partie>../joueur/fichier"} << partie << true;
}

void TestFichierTexte::liensDansUnDossierPartage()
{
    // A folder shared as /tmp is (mode 1777), where another user may lay
    // links: one that neither the player nor the folder's owner laid is
    // not followed, whatever fs.protected_symlinks says.
    SAUTER_SANS_ROOT();
    QFETCH(bool, dossierDeLAutre);
    QFETCH(QStringList, liens);
    QFETCH(QString, nom);
    QFETCH(bool, suivi);
    QCOMPARE(::chmod(QFile::encodeName(dossier->path()).constData(), 0755), 0);
    QVERIFY(QDir(dossier->path()).mkdir("joueur") && QDir(dossier->path()).mkdir("commun"));
    ecrireOctets(chemin("joueur/fichier"), "Ancien\r\n");
    const QByteArray commun = QFile::encodeName(chemin("commun"));
    QCOMPARE(::chmod(commun.constData(), 01777), 0);
    if (dossierDeLAutre)
        QCOMPARE(::chown(commun.constData(), idSansPrivileges, idSansPrivileges), 0);
    poserLiens(liens);
    const QStringList avant = entrees(chemin("joueur")) + entrees(chemin("commun"));

    const QString message = suivi ? QString() : QStringLiteral("Accès au fichier refusé");
    QCOMPARE(fichier::messageErreur(ecrireUneLigne(chemin(nom), QStringLiteral("Nouveau"))), message);
    Lecture l;
    QString lu;
    int code = l.ouvrir(chemin(nom));
    if (code == 0)
        code = l.lireLigne(lu);
    QCOMPARE(fichier::messageErreur(code), message);
    QCOMPARE(lu, suivi ? QStringLiteral("Nouveau") : QString());

    // Refused, nothing was written or made anywhere.
    QCOMPARE(lireOctets(chemin("joueur/fichier")), suivi ? QByteArray("Nouveau\r\n") : QByteArray("Ancien\r\n"));
    QCOMPARE(entrees(chemin("joueur")) + entrees(chemin("commun")), avant);
}

void TestFichierTexte::dossierRemplaceAvantLaFin()
{
    // The file is replaced in the folder that was checked, even when its
    // name leads elsewhere by the end of the write.
    QVERIFY(QDir(dossier->path()).mkdir("vrai") && QDir(dossier->path()).mkdir("ailleurs"));
    Ecriture f;
    QCOMPARE(f.ouvrir(chemin("vrai/mv")), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("Nouveau")), 0);
    QVERIFY(QDir(dossier->path()).rename("vrai", "deplace"));
    QVERIFY(QFile::link("ailleurs", chemin("vrai")));
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(entrees(chemin("deplace")), QStringList{"mv"});
    QCOMPARE(lireOctets(chemin("deplace/mv")), QByteArray("Nouveau\r\n"));
    QCOMPARE(entrees(chemin("ailleurs")), QStringList());
}

void TestFichierTexte::lienPhysique()
{
    // The write makes a new file and renames it over the name: another hard
    // link to the old file keeps the old text.
    ecrireOctets(chemin("mv"), "Ancien\r\n");
    QCOMPARE(::link(QFile::encodeName(chemin("mv")).constData(), QFile::encodeName(chemin("copie")).constData()), 0);
    struct stat avant, apres;
    QCOMPARE(::stat(QFile::encodeName(chemin("mv")).constData(), &avant), 0);
    Ecriture f;
    QCOMPARE(f.ouvrir(chemin("mv")), 0);
    QCOMPARE(f.ecrireLigne(QStringLiteral("Nouveau")), 0);
    QCOMPARE(f.fermer(), 0);
    QCOMPARE(::stat(QFile::encodeName(chemin("mv")).constData(), &apres), 0);
    QVERIFY(apres.st_ino != avant.st_ino);
    QCOMPARE(apres.st_nlink, nlink_t(1));
    QCOMPARE(lireOctets(chemin("mv")), QByteArray("Nouveau\r\n"));
    QCOMPARE(lireOctets(chemin("copie")), QByteArray("Ancien\r\n"));
}

void TestFichierTexte::ouvertureEchoue_data()
{
    QTest::addColumn<QString>("nom");        // relative to the test folder, "" for an empty name
    QTest::addColumn<bool>("ecriture");
    QTest::addColumn<QString>("message");
    const QString longNom(300, QLatin1Char('n'));
    QTest::newRow("lire un absent") << "absent" << false << "Fichier introuvable";
    QTest::newRow("écrire dans un dossier absent") << "absent/mv" << true << "Fichier introuvable";
    QTest::newRow("lire un nom vide") << "" << false << "Nom de fichier incorrect";
    QTest::newRow("écrire un nom vide") << "" << true << "Nom de fichier incorrect";
    QTest::newRow("lire un dossier") << "dossier" << false << "Nom de fichier incorrect";
    QTest::newRow("écrire sur un dossier") << "dossier" << true << "Nom de fichier incorrect";
    QTest::newRow("écrire un nom de dossier") << "dossier/" << true << "Nom de fichier incorrect";
    QTest::newRow("lire à travers un fichier") << "fichier/mv" << false << "Nom de fichier incorrect";
    QTest::newRow("écrire à travers un fichier") << "fichier/mv" << true << "Nom de fichier incorrect";
    QTest::newRow("lire un nom trop long") << longNom << false << "Nom de fichier incorrect";
    QTest::newRow("écrire un nom trop long") << longNom << true << "Nom de fichier incorrect";
}

void TestFichierTexte::ouvertureEchoue()
{
    QFETCH(QString, nom);
    QFETCH(bool, ecriture);
    QFETCH(QString, message);
    QVERIFY(QDir(dossier->path()).mkdir("dossier"));
    ecrireOctets(chemin("fichier"), "x\r\n");
    const QString cheminComplet = nom.isEmpty() ? QString() : chemin(nom);
    int code = 0;
    if (ecriture) {
        Ecriture f;
        code = f.ouvrir(cheminComplet);
        QVERIFY(!f.ouvert());
        QCOMPARE(f.ecrireLigne(QStringLiteral("x")), EBADF);
    } else {
        Lecture f;
        code = f.ouvrir(cheminComplet);
        QVERIFY(!f.ouvert());
    }
    QCOMPARE(fichier::messageErreur(code), message);
    QCOMPARE(entrees(dossier->path()), (QStringList{"dossier", "fichier"}));
    QCOMPARE(lireOctets(chemin("fichier")), QByteArray("x\r\n"));
}

void TestFichierTexte::tropDeFichiersOuverts()
{
    ecrireOctets(chemin("mv"), "Ancien\r\n");
    int codeLecture = 0, codeEcriture = 0;
    const QByteArray fait = sansDescripteurLibre([&] {
        Lecture l;
        Ecriture e;
        codeLecture = l.ouvrir(chemin("mv"));
        codeEcriture = e.ouvrir(chemin("mv"));
        return QByteArray("fait");
    });
    QCOMPARE(fait, QByteArray("fait"));
    QCOMPARE(fichier::messageErreur(codeLecture), QStringLiteral("Trop de fichiers ouverts"));
    QCOMPARE(fichier::messageErreur(codeEcriture), QStringLiteral("Trop de fichiers ouverts"));
    QCOMPARE(lireOctets(chemin("mv")), QByteArray("Ancien\r\n"));
    QCOMPARE(entrees(dossier->path()), QStringList{"mv"});
}

void TestFichierTexte::fichiersSansFin()
{
    // A device that never ends stops a read after 64 MiB, be it a line
    // without end or blanks before a number.
    Lecture f;
    QString ligne = QStringLiteral("x");
    std::int32_t v = 1;
    QCOMPARE(f.ouvrir(QStringLiteral("/dev/zero")), 0);
    QCOMPARE(fichier::messageErreur(f.lireLigne(ligne)), QStringLiteral("Erreur E/S 27"));
    QCOMPARE(f.ouvrir(QStringLiteral("/dev/zero")), 0);
    QCOMPARE(fichier::messageErreur(f.lireEntier(v)), QStringLiteral("Erreur E/S 27"));
    QCOMPARE(v, 0);
    // A named pipe nobody writes to reads as empty instead of waiting forever.
    QCOMPARE(::mkfifo(QFile::encodeName(chemin("tube")).constData(), 0644), 0);
    QCOMPARE(f.ouvrir(chemin("tube")), 0);
    QCOMPARE(f.lireLigne(ligne), 0);
    QCOMPARE(ligne, QString());
    // /dev/stdin fed by a pipe, and a deleted file still open, are read
    // through the kernel's links to them.
    int tube[2];
    QCOMPARE(::pipe(tube), 0);
    QCOMPARE(::write(tube[1], "Tube\r\n", 6), 6);
    ::close(tube[1]);
    {
        const EntreeDepuis entree(tube[0]);
        QCOMPARE(f.ouvrir(QStringLiteral("/dev/stdin")), 0);
    }
    QCOMPARE(f.lireLigne(ligne), 0);
    QCOMPARE(ligne, QStringLiteral("Tube"));
    ecrireOctets(chemin("efface"), "Efface\r\n");
    const QByteArray efface = QFile::encodeName(chemin("efface"));
    const int ouvert = ::open(efface.constData(), O_RDONLY);
    QCOMPARE(::unlink(efface.constData()), 0);
    QCOMPARE(f.ouvrir(QStringLiteral("/proc/self/fd/%1").arg(ouvert)), 0);
    ::close(ouvert);
    QCOMPARE(f.lireLigne(ligne), 0);
    QCOMPARE(ligne, QStringLiteral("Efface"));

    // A write does not replace the pipe with a file.
    Ecriture e;
    QCOMPARE(fichier::messageErreur(e.ouvrir(chemin("tube"))), QStringLiteral("Nom de fichier incorrect"));
    QCOMPARE(entrees(dossier->path()), QStringList{"tube"});
    QVERIFY(QFileInfo(chemin("tube")).isFile() == false);
}

void TestFichierTexte::pasDeLectureSansOuverture()
{
    Lecture f;
    QString ligne;
    std::int32_t v = 1;
    QCOMPARE(f.lireLigne(ligne), EBADF);
    QCOMPARE(f.lireEntier(v), EBADF);
    QCOMPARE(f.fermer(), EBADF);
    QCOMPARE(f.ouvrir(chemin("absent")), ENOENT);
    QCOMPARE(f.lireLigne(ligne), EBADF);
}

QTEST_GUILESS_MAIN(TestFichierTexte)
#include "test_fichiertexte.moc"
