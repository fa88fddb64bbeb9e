// Saved games: the file written by a save, what a load does with it, and what
// happens when the file or the disk lets the command down.
#include <QtTest>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <memory>
#include <sys/stat.h>
#include "storage/sauvegarde.h"
#include "support/petit_disque.h"
#include "support/sans_privileges.h"
#include "support/table.h"
#include "support/fichiers.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"
#include "ui/Unit1.h"

namespace {

// Everything a save or a load may touch, apart from whether the level items
// are enabled (a load enables them before it opens the file).
struct Photo {
    GameState etat;
    bool enCours, mancheFinie, terminee;
    bool distribuer, normal, difficile, cartesMontrees;
    bool sauverBouton, sauverMenu, chargerBouton, chargerMenu;
    QStringList affichages;   // money, card counts and pots as shown

    bool operator==(const Photo &) const = default;
};

Photo photographier(const Tprincipale &f)
{
    Photo p{etat, partieEnCours, mancheFinie, f.partieTerminee,
            f.Button2->isEnabled(), f.Normal1->isChecked(), f.Difficile1->isChecked(), !f.GroupBox6->isHidden(),
            f.Button6->isEnabled(), f.Sauvegarderunepartie1->isEnabled(), f.Button3->isEnabled(),
            f.Chargerunepartie1->isEnabled(), {}};
    for (Afficheur *a : f.affichagesTresor)
        p.affichages.append(a->texte());
    for (Afficheur *a : f.affichagesCartes)
        p.affichages.append(a->texte());
    for (int pot = 0; pot < nbCagnottes; ++pot)
        p.affichages.append(f.afficheurCagnotte(pot)->texte());
    return p;
}

sauvegarde::Partie partie(std::int32_t t1, std::int32_t t2, std::int32_t t3, std::int32_t t4, Seat premier,
                          Seat precedent, std::int32_t niveau)
{
    sauvegarde::Partie p;
    p.tresor[0] = t1;
    p.tresor[1] = t2;
    p.tresor[2] = t3;
    p.tresor[3] = t4;
    p.premierJoueur = premier;
    p.premierPrecedent = precedent;
    p.niveau = niveau;
    return p;
}

} // namespace

Q_DECLARE_METATYPE(sauvegarde::Partie)

class TestSauvegarde : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void nomsDeFichier_data();
    void nomsDeFichier();
    void octetsExacts_data();
    void octetsExacts();
    void niveauAllerRetour_data();
    void niveauAllerRetour();
    void niveauInconnu_data();
    void niveauInconnu();
    void sauverPuisCharger();
    void donneApresChargement_data();
    void donneApresChargement();
    void fichiersCourts_data();
    void fichiersCourts();
    void chargementRate_data();
    void chargementRate();
    void chargementEnCoursDeManche();
    void chargementPartieTerminee();
    void sauvegardeRefusee_data();
    void sauvegardeRefusee();
    void chargementRefuse();
    void disquePlein();
    void grandFichier();
    void sauvegardeParUnLien_data();
    void sauvegardeParUnLien();
    void sauvegardeSousUmask077();
    void annulations();
    void commandesDeSauvegardeInchangees_data();
    void commandesDeSauvegardeInchangees();
    void dialogues();

private:
    Tprincipale &f() { return *table->fenetre; }
    DoublePlateforme &d() { return *table->plateforme; }
    QString chemin(const QString &nom) const { return table->dossier + QLatin1Char('/') + nom; }
    // Puts a game of its own on the table, displays included.
    void poser(const sauvegarde::Partie &p, const std::int32_t (&pots)[nbCagnottes] = {});
    void choisirNiveau(bool difficile);
    void sauver(const QString &nom);
    void charger(const QString &chemin);

    std::unique_ptr<Table> table;
};

void TestSauvegarde::init()
{
    etat = GameState{};
    partieEnCours = false;
    mancheFinie = false;
    table = std::make_unique<Table>();
    d().oublier();   // what start-up showed (the best-score read) is not ours
}

void TestSauvegarde::cleanup()
{
    table.reset();
}

void TestSauvegarde::poser(const sauvegarde::Partie &p, const std::int32_t (&pots)[nbCagnottes])
{
    sauvegarde::versEtat(p, etat);
    for (int pot = 0; pot < nbCagnottes; ++pot) {
        etat.cagnottes[pot] = pots[pot];
        f().afficherCagnotte(pot);
    }
    f().afficherTresors();
}

void TestSauvegarde::choisirNiveau(bool difficile)
{
    if (difficile)
        f().Difficile1Click();
    else
        f().Normal1Click();
}

void TestSauvegarde::sauver(const QString &nom)
{
    d().fichiers.enqueue(nom);
    f().Button6Click();
}

void TestSauvegarde::charger(const QString &cheminChoisi)
{
    d().fichiers.enqueue(cheminChoisi);
    f().Button3Click();
}

// --- what a save writes -------------------------------------------------------

void TestSauvegarde::nomsDeFichier_data()
{
    QTest::addColumn<QString>("choisi");
    QTest::addColumn<QString>("ecrit");
    QTest::newRow("sans extension") << "partie" << "partie.svgMv";
    QTest::newRow("déjà .svgMv") << "partie.svgMv" << "partie.svgMv";
    QTest::newRow("en capitales") << "partie.SVGMV" << "partie.SVGMV";
    QTest::newRow("casse mêlée") << "partie.sVgmV" << "partie.sVgmV";
    QTest::newRow("autre extension") << "partie.txt" << "partie.txt.svgMv";
    QTest::newRow(".svgMv au milieu") << "partie.svgMv.bak" << "partie.svgMv.bak.svgMv";
    QTest::newRow("extension presque juste") << "partie.svgMv2" << "partie.svgMv2.svgMv";
    QTest::newRow("point dans le dossier seulement") << "rep.svgMv/partie" << "rep.svgMv/partie.svgMv";
}

void TestSauvegarde::nomsDeFichier()
{
    QFETCH(QString, choisi);
    QFETCH(QString, ecrit);
    QVERIFY(QDir(table->dossier).mkdir(QStringLiteral("rep.svgMv")));
    poser(partie(1500, 1500, 1500, 1500, 1, 1, 0));

    sauver(chemin(choisi));

    QCOMPARE(d().textes(), QStringList());
    QVERIFY2(QFile::exists(chemin(ecrit)), qPrintable(ecrit));
    QCOMPARE(lireOctets(chemin(ecrit)), QByteArray("1500\r\n1500\r\n1500\r\n1500\r\n1\r\n1\r\n0\r\n"));
    if (choisi != ecrit)
        QVERIFY(!QFile::exists(chemin(choisi)));
    // Nothing else is left in the folder: no temporary file, no second copy.
    QStringList attendu = {QStringLiteral("rep.svgMv")};
    if (!ecrit.contains(QLatin1Char('/')))
        attendu.append(ecrit);
    attendu.sort();
    QCOMPARE(entrees(table->dossier), attendu);
}

void TestSauvegarde::octetsExacts_data()
{
    QTest::addColumn<sauvegarde::Partie>("jeu");
    QTest::addColumn<bool>("difficile");
    QTest::addColumn<QByteArray>("octets");
    QTest::newRow("normal") << partie(1350, 1200, 1650, 1800, 2, 2, 1) << false
                            << QByteArray("1350\r\n1200\r\n1650\r\n1800\r\n2\r\n2\r\n0\r\n");
    QTest::newRow("difficile, montants négatifs et nuls")
        << partie(-150, 0, 3000, 3150, 4, 4, 0) << true
        << QByteArray("-150\r\n0\r\n3000\r\n3150\r\n4\r\n4\r\n1\r\n");
    QTest::newRow("bornes de 32 bits")
        << partie(INT32_MIN, INT32_MAX, -1, 7, 3, 1, 0) << false
        << QByteArray("-2147483648\r\n2147483647\r\n-1\r\n7\r\n3\r\n1\r\n0\r\n");
}

void TestSauvegarde::octetsExacts()
{
    QFETCH(sauvegarde::Partie, jeu);
    QFETCH(bool, difficile);
    QFETCH(QByteArray, octets);
    choisirNiveau(difficile);
    const std::int32_t pots[nbCagnottes] = {400, 80, 160, 320, 240};
    poser(jeu, pots);
    const GameState avant = etat;

    sauver(chemin(QStringLiteral("partie")));

    QCOMPARE(lireOctets(chemin(QStringLiteral("partie.svgMv"))), octets);
    QCOMPARE(d().boites, QList<Boite>());   // nothing shown on success
    // The save changes nothing but the level kept with the game.
    GameState attendu = avant;
    attendu.niveau = difficile ? 1 : 0;
    QVERIFY(etat == attendu);
}

// --- the level ----------------------------------------------------------------

void TestSauvegarde::niveauAllerRetour_data()
{
    deuxLignes("difficile", "Normal", false, "Difficile", true);
}

void TestSauvegarde::niveauAllerRetour()
{
    QFETCH(bool, difficile);
    poser(partie(1000, 2000, 1500, 1500, 3, 3, 0));
    choisirNiveau(difficile);
    sauver(chemin(QStringLiteral("niveau.svgMv")));
    QCOMPARE(lireOctets(chemin(QStringLiteral("niveau.svgMv"))).split('\n').value(6),
             difficile ? QByteArray("1\r") : QByteArray("0\r"));

    choisirNiveau(!difficile);
    etat.niveau = difficile ? 0 : 1;
    charger(chemin(QStringLiteral("niveau.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    QCOMPARE(etat.niveau, difficile ? 1 : 0);
    QCOMPARE(f().Difficile1->isChecked(), difficile);
    QCOMPARE(f().Normal1->isChecked(), !difficile);
    QCOMPARE(f().GroupBox6->isVisible(), !difficile);
}

void TestSauvegarde::niveauInconnu_data()
{
    QTest::addColumn<bool>("difficile");
    QTest::addColumn<QByteArray>("ligne7");
    QTest::newRow("2, en Normal") << false << QByteArray("2");
    QTest::newRow("2, en Difficile") << true << QByteArray("2");
    QTest::newRow("-1, en Difficile") << true << QByteArray("-1");
}

void TestSauvegarde::niveauInconnu()
{
    QFETCH(bool, difficile);
    QFETCH(QByteArray, ligne7);
    choisirNiveau(difficile);
    f().GroupBox6->setVisible(difficile);   // opposite of the check marks, to see it follow them
    ecrireOctets(chemin(QStringLiteral("n.svgMv")), "1500\r\n1500\r\n1500\r\n1500\r\n4\r\n4\r\n" + ligne7 + "\r\n");

    charger(chemin(QStringLiteral("n.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    QCOMPARE(etat.niveau, ligne7.toInt());   // kept as read
    QCOMPARE(f().Difficile1->isChecked(), difficile);
    QCOMPARE(f().Normal1->isChecked(), !difficile);
    QCOMPARE(f().GroupBox6->isVisible(), !difficile);
}

// --- save, then load ----------------------------------------------------------

void TestSauvegarde::sauverPuisCharger()
{
    choisirNiveau(true);
    const std::int32_t pots[nbCagnottes] = {400, 80, 160, 320, 240};
    poser(partie(1230, -90, 2010, 1650, 3, 3, 0), pots);
    sauver(chemin(QStringLiteral("aller-retour")));
    const GameState sauve = etat;

    // Another game, then back to the saved one.
    choisirNiveau(false);
    const std::int32_t autresPots[nbCagnottes] = {1, 2, 3, 4, 5};
    poser(partie(1, 2, 3, 4, 1, 1, 0), autresPots);
    const GameState avantChargement = etat;
    f().Button2->setEnabled(false);
    charger(chemin(QStringLiteral("aller-retour.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    GameState attendu = avantChargement;
    sauvegarde::versEtat(sauvegarde::depuisEtat(sauve), attendu);
    for (std::int32_t &pot : attendu.cagnottes)
        pot = 0;
    QVERIFY(etat == attendu);
    QCOMPARE(etat.niveau, 1);
    QCOMPARE(sauvegarde::depuisEtat(etat), sauvegarde::depuisEtat(sauve));
    QVERIFY(f().Difficile1->isChecked());
    QVERIFY(!f().GroupBox6->isVisible());
    QVERIFY(partieEnCours);
    QVERIFY(f().Button2->isEnabled());
    QVERIFY(f().Normal1->isEnabled() && f().Difficile1->isEnabled());
    const QStringList argent = {QStringLiteral("1230"), QStringLiteral("-90"), QStringLiteral("2010"),
                                QStringLiteral("1650")};
    for (int s = 0; s < nbSieges; ++s)
        QCOMPARE(f().affichagesTresor[s]->texte(), argent[s]);
    for (int pot = 0; pot < nbCagnottes; ++pot)
        QCOMPARE(f().afficheurCagnotte(pot)->texte(), QStringLiteral("0"));
}

void TestSauvegarde::donneApresChargement_data()
{
    QTest::addColumn<Seat>("premier");
    QTest::addColumn<Seat>("precedent");
    QTest::addColumn<Seat>("suivant");
    QTest::newRow("après le quatrième, le joueur") << 4 << 4 << 1;
    QTest::newRow("précédent 4, quel que soit le premier") << 2 << 4 << 1;
    QTest::newRow("après le joueur, Moi") << 1 << 1 << 2;
    QTest::newRow("après Moi, KORBANIGUE") << 2 << 2 << 3;
    // Leaders that name no seat only come from a damaged file: the human leads.
    QTest::newRow("fichier vide, meneurs à 0") << 0 << 0 << 1;
    QTest::newRow("meneurs hors des sièges") << 9 << 9 << 1;
}

void TestSauvegarde::donneApresChargement()
{
    QFETCH(Seat, premier);
    QFETCH(Seat, precedent);
    QFETCH(Seat, suivant);
    ecrireOctets(chemin(QStringLiteral("d.svgMv")), QStringLiteral("1500\r\n1500\r\n1500\r\n1500\r\n%1\r\n%2\r\n0\r\n")
                                                        .arg(premier)
                                                        .arg(precedent)
                                                        .toLatin1());
    charger(chemin(QStringLiteral("d.svgMv")));
    QCOMPARE(d().textes(), QStringList());

    f().Button2Click();
    if (etat.compteDonne[4] == 0)
        QSKIP("the deal is not built yet");

    QCOMPARE(etat.premierJoueur, suivant);
    QCOMPARE(etat.premierPrecedent, suivant);
    QCOMPARE(verifierCartes(etat), QString());
    // The stakes came from the loaded money into empty pots.
    QCOMPARE(argentTotal(etat), std::int64_t(6000));
    if (suivant == 1) {   // nobody has played yet: the pots hold the stakes alone
        for (int s = 0; s < nbSieges; ++s)
            QCOMPARE(etat.tresor[s], 1350);
        const std::int32_t mises[nbCagnottes] = {200, 40, 80, 160, 120};
        for (int pot = 0; pot < nbCagnottes; ++pot)
            QCOMPARE(etat.cagnottes[pot], mises[pot]);
    }
}

// --- short, odd and broken files ----------------------------------------------

void TestSauvegarde::fichiersCourts_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<sauvegarde::Partie>("lu");
    QTest::newRow("fichier vide") << QByteArray() << partie(0, 0, 0, 0, 0, 0, 0);
    QTest::newRow("deux valeurs") << QByteArray("1500\r\n1400\r\n") << partie(1500, 1400, 0, 0, 0, 0, 0);
    QTest::newRow("six valeurs sans fin de ligne")
        << QByteArray("10\r\n20\r\n30\r\n40\r\n3\r\n3") << partie(10, 20, 30, 40, 3, 3, 0);
    QTest::newRow("un mot après le nombre")
        << QByteArray("1500 abc\r\n1500\r\n1500\r\n1500\r\n1\r\n1\r\n1\r\n") << partie(1500, 1500, 1500, 1500, 1, 1, 1);
    QTest::newRow("lignes vides avant une valeur")
        << QByteArray("\r\n\r\n   \r\n1500\r\n\n\n-20\r\n") << partie(1500, -20, 0, 0, 0, 0, 0);
    QTest::newRow("fins de ligne LF seules")
        << QByteArray("1\n2\n3\n4\n2\n2\n1\n") << partie(1, 2, 3, 4, 2, 2, 1);
    QTest::newRow("signe plus, bornes de 32 bits")
        << QByteArray("+7\r\n-2147483648\r\n2147483647\r\n0\r\n4\r\n4\r\n0\r\n")
        << partie(7, INT32_MIN, INT32_MAX, 0, 4, 4, 0);
    QTest::newRow("lignes en trop ignorées")
        << QByteArray("1\r\n2\r\n3\r\n4\r\n1\r\n1\r\n0\r\nabc\r\n") << partie(1, 2, 3, 4, 1, 1, 0);
    QTest::newRow("Ctrl-Z termine le texte")
        << QByteArray("1\r\n2\r\n3\r\n\x1a" "4\r\n") << partie(1, 2, 3, 0, 0, 0, 0);
    QTest::newRow("un octet nul termine le nombre")
        << QByteArray("15\0" "00\r\n7\r\n", 10) << partie(15, 7, 0, 0, 0, 0, 0);
    QTest::newRow("32 caractères") << QByteArray(28, '0') + "1500\r\n" << partie(1500, 0, 0, 0, 0, 0, 0);
}

void TestSauvegarde::fichiersCourts()
{
    QFETCH(QByteArray, octets);
    QFETCH(sauvegarde::Partie, lu);
    const std::int32_t pots[nbCagnottes] = {9, 9, 9, 9, 9};
    poser(partie(111, 222, 333, 444, 2, 2, 1), pots);
    ecrireOctets(chemin(QStringLiteral("court.svgMv")), octets);

    charger(chemin(QStringLiteral("court.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    QCOMPARE(sauvegarde::depuisEtat(etat), lu);
    for (int pot = 0; pot < nbCagnottes; ++pot)
        QCOMPARE(etat.cagnottes[pot], 0);
    QCOMPARE(f().affichagesTresor[0]->texte(), QString::number(lu.tresor[0]));
    QVERIFY(f().Button2->isEnabled());
    QVERIFY(partieEnCours);
}

void TestSauvegarde::chargementRate_data()
{
    QTest::addColumn<bool>("existe");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("message");
    const QString numerique = QStringLiteral("Saisie numérique incorrecte.");
    QTest::newRow("fichier introuvable") << false << QByteArray() << QStringLiteral("Fichier introuvable.");
    QTest::newRow("une ligne de lettres d'emblée") << true << QByteArray("abc\r\n") << numerique;
    // The fault this guards against: four seats loaded, the rest left old.
    QTest::newRow("lettres après l'argent")
        << true << QByteArray("1\r\n2\r\n3\r\n4\r\nquatre\r\n4\r\n0\r\n") << numerique;
    QTest::newRow("niveau illisible")
        << true << QByteArray("1\r\n2\r\n3\r\n4\r\n1\r\n1\r\nNormal\r\n") << numerique;
    QTest::newRow("au-delà de 32 bits") << true << QByteArray("1500\r\n2147483648\r\n") << numerique;
    QTest::newRow("en deçà de 32 bits") << true << QByteArray("1500\r\n1500\r\n-2147483649\r\n") << numerique;
    QTest::newRow("33 caractères") << true << QByteArray(29, '0') + "1500\r\n" << numerique;
    QTest::newRow("chiffres suivis de lettres") << true << QByteArray("1500abc\r\n") << numerique;
}

void TestSauvegarde::chargementRate()
{
    QFETCH(bool, existe);
    QFETCH(QByteArray, octets);
    QFETCH(QString, message);
    // A game in the middle of a deal: level items and the deal button off.
    choisirNiveau(true);
    const std::int32_t pots[nbCagnottes] = {400, 80, 160, 320, 240};
    poser(partie(1230, 960, 2010, 1650, 3, 3, 1), pots);
    partieEnCours = true;
    f().Normal1->setEnabled(false);
    f().Difficile1->setEnabled(false);
    f().Button2->setEnabled(false);
    if (existe)
        ecrireOctets(chemin(QStringLiteral("rate.svgMv")), octets);
    const Photo avant = photographier(f());

    charger(chemin(QStringLiteral("rate.svgMv")));

    QCOMPARE(d().boites, QList<Boite>({{Boite::Erreur, message}}));
    QVERIFY2(photographier(f()) == avant, "a failed load changed the game");
    QVERIFY(f().Normal1->isEnabled() && f().Difficile1->isEnabled());
}

// --- loading at any time ------------------------------------------------------

void TestSauvegarde::chargementEnCoursDeManche()
{
    // A round on the table: cards in the hands, a card on the play zone,
    // the pass and claim buttons live.
    for (int s = 0; s < nbSieges; ++s)
        for (int k = 0; k < tailleMain; ++k)
            etat.mains[s][k] = k < 6 ? s * 12 + k + 1 : 0;
    const CardNumber talon[4] = {49, 50, 51, 52};
    std::copy(std::begin(talon), std::end(talon), etat.talon);
    for (int i = 0; i < 5; ++i)
        etat.compteDonne[i] = i < 4 ? 12 : 4;
    for (int s = 0; s < nbSieges; ++s) {
        etat.cartesRestantes[s] = 6;
        f().affichagesCartes[s]->afficher(6);
    }
    etat.carteJouee = 20;
    etat.dernierRang = 7;
    etat.nbPasses = 1;
    f().Image13->dessinerCarte(20);
    f().Button4->setText(QStringLiteral("Sans 8"));
    f().Button4->setEnabled(true);
    f().Button5->setEnabled(true);
    const std::int32_t pots[nbCagnottes] = {200, 40, 80, 160, 120};
    poser(partie(1350, 1350, 1350, 1350, 2, 2, 0), pots);
    partieEnCours = true;
    const GameState avant = etat;
    ecrireOctets(chemin(QStringLiteral("m.svgMv")), "900\r\n1800\r\n1500\r\n1200\r\n4\r\n4\r\n0\r\n");

    charger(chemin(QStringLiteral("m.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    GameState attendu = avant;
    sauvegarde::versEtat(partie(900, 1800, 1500, 1200, 4, 4, 0), attendu);
    for (std::int32_t &pot : attendu.cagnottes)
        pot = 0;
    QVERIFY(etat == attendu);   // hands, talon, play zone and counters untouched
    QCOMPARE(f().Image13->carte(), 20);
    QCOMPARE(f().Button4->text(), QStringLiteral("Sans 8"));
    QVERIFY(f().Button4->isEnabled());
    QVERIFY(f().Button5->isEnabled());
    for (Afficheur *a : f().affichagesCartes)
        QCOMPARE(a->texte(), QStringLiteral("6"));
    QCOMPARE(f().LCDNumber1->texte(), QStringLiteral("900"));
    QVERIFY(f().Button2->isEnabled());
}

void TestSauvegarde::chargementPartieTerminee()
{
    // The state a bankruptcy leaves: game over, the deal refused.
    poser(partie(-30, 1800, 2400, 1830, 1, 1, 0));
    f().partieTerminee = true;
    partieEnCours = false;
    f().Button2->setEnabled(false);
    f().Normal1->setEnabled(false);
    f().Difficile1->setEnabled(false);
    // The game that had ended, saved earlier with one seat nearly broke.
    ecrireOctets(chemin(QStringLiteral("fin.svgMv")), "100\r\n1900\r\n2100\r\n1900\r\n1\r\n1\r\n0\r\n");

    charger(chemin(QStringLiteral("fin.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    QVERIFY(!f().partieTerminee);
    QVERIFY(partieEnCours);
    QVERIFY(f().Button2->isEnabled());
    QVERIFY(f().Normal1->isEnabled() && f().Difficile1->isEnabled());

    // The next deal takes the stakes, and 100 Euros do not pay them.
    f().Button2Click();
    if (etat.tresor[1] == 1900)
        QSKIP("the deal is not built yet");
    QCOMPARE(etat.tresor[0], -50);
    QVERIFY(f().partieTerminee);
    QVERIFY(!partieEnCours);
}

// --- real faults --------------------------------------------------------------

void TestSauvegarde::sauvegardeRefusee_data()
{
    QTest::addColumn<bool>("ancienne");
    QTest::addColumn<int>("modeFichier");
    QTest::newRow("fichier en lecture seule") << true << 0644;
    QTest::newRow("dossier en lecture seule") << true << 0666;
    QTest::newRow("nouveau fichier, dossier en lecture seule") << false << 0;
}

void TestSauvegarde::sauvegardeRefusee()
{
    QFETCH(bool, ancienne);
    QFETCH(int, modeFichier);
    SAUTER_SANS_ROOT();
    // The unprivileged user may enter and read the folder, not write in it.
    QVERIFY(::chmod(QFile::encodeName(table->dossier).constData(), 0755) == 0);
    const QString cible = chemin(QStringLiteral("refus.svgMv"));
    if (ancienne) {
        poser(partie(1500, 1500, 1500, 1500, 2, 2, 0));
        sauver(cible);
        QCOMPARE(d().textes(), QStringList());
        QVERIFY(::chmod(QFile::encodeName(cible).constData(), mode_t(modeFichier)) == 0);
    }
    const QByteArray octetsAvant = lireOctets(cible);
    const QStringList dossierAvant = entrees(table->dossier);

    poser(partie(10, 20, 30, 40, 3, 3, 0));
    d().oublier();
    d().fichiers.enqueue(cible);
    const ResultatEnfant r = executerSansPrivileges([this] {
        f().Button6Click();
        return d().textes().join(QLatin1Char('\n')).toUtf8();
    });

    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(QString::fromUtf8(r.sortie), QStringLiteral("Accès au fichier refusé."));
    QCOMPARE(lireOctets(cible), octetsAvant);
    QCOMPARE(entrees(table->dossier), dossierAvant);
}

void TestSauvegarde::chargementRefuse()
{
    SAUTER_SANS_ROOT();
    QVERIFY(::chmod(QFile::encodeName(table->dossier).constData(), 0755) == 0);
    const QString cible = chemin(QStringLiteral("prive.svgMv"));
    ecrireOctets(cible, "1\r\n2\r\n3\r\n4\r\n1\r\n1\r\n0\r\n");
    QVERIFY(::chmod(QFile::encodeName(cible).constData(), 0600) == 0);
    const std::int32_t pots[nbCagnottes] = {400, 80, 160, 320, 240};
    poser(partie(1230, 960, 2010, 1650, 3, 3, 1), pots);
    d().fichiers.enqueue(cible);

    const ResultatEnfant r = executerSansPrivileges([this] {
        const Photo avant = photographier(f());
        f().Button3Click();
        const bool inchange = photographier(f()) == avant;
        return (d().textes().join(QLatin1Char('\n')) + (inchange ? QStringLiteral("|inchangé")
                                                                 : QStringLiteral("|modifié")))
            .toUtf8();
    });

    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(QString::fromUtf8(r.sortie), QStringLiteral("Accès au fichier refusé.|inchangé"));
}

void TestSauvegarde::disquePlein()
{
    const QString dossier = chemin(QStringLiteral("disque"));
    QVERIFY(QDir().mkdir(dossier));
    PetitDisque disque(dossier, 8);
    if (!disque.monte())
        QSKIP(qPrintable(QStringLiteral("no tiny tmpfs here: ") + disque.probleme()));
    const QString cible = dossier + QStringLiteral("/plein.svgMv");
    poser(partie(1500, 1500, 1500, 1500, 2, 2, 0));
    sauver(cible);
    QCOMPARE(d().textes(), QStringList());
    const QByteArray octetsAvant = lireOctets(cible);
    QCOMPARE(octetsAvant, QByteArray("1500\r\n1500\r\n1500\r\n1500\r\n2\r\n2\r\n0\r\n"));
    QVERIFY(disque.remplir());

    poser(partie(1350, 1650, 1200, 1800, 3, 3, 0));
    sauver(cible);

    QCOMPARE(d().boites, QList<Boite>({{Boite::Erreur, QStringLiteral("Disque plein.")}}));
    QCOMPARE(lireOctets(cible), octetsAvant);
    QCOMPARE(entrees(dossier), QStringList({QStringLiteral("plein.svgMv"), QStringLiteral("remplissage")}));
}

void TestSauvegarde::grandFichier()
{
    // A saved game of 8 GiB whose seven values come first loads as those
    // values, and only its first bytes are read.
    const QString cible = chemin(QStringLiteral("grand.svgMv"));
    ecrireOctets(cible, "1200\r\n1800\r\n1400\r\n1600\r\n3\r\n2\r\n1\r\n");
    grossir(cible, qint64(8) << 30);
    const qint64 lusAvant = octetsLusParLeProcessus();
    QVERIFY(lusAvant >= 0);

    charger(cible);

    const qint64 lus = octetsLusParLeProcessus() - lusAvant;
    QCOMPARE(d().textes(), QStringList());
    QCOMPARE(sauvegarde::depuisEtat(etat), partie(1200, 1800, 1400, 1600, 3, 2, 1));
    QVERIFY2(lus < (1 << 20), qPrintable(QString::number(lus)));
}

void TestSauvegarde::sauvegardeParUnLien_data()
{
    QTest::addColumn<QString>("cibleDuLien");
    QTest::addColumn<QString>("message");
    QTest::newRow("lien pendant") << "rangement/partie.svgMv" << "";
    QTest::newRow("lien vers lui-même") << "lien.svgMv" << "Nom de fichier incorrect.";
}

void TestSauvegarde::sauvegardeParUnLien()
{
    QFETCH(QString, cibleDuLien);
    QFETCH(QString, message);
    QVERIFY(QDir(table->dossier).mkdir(QStringLiteral("rangement")));
    QVERIFY(QFile::link(cibleDuLien, chemin(QStringLiteral("lien.svgMv"))));
    poser(partie(1350, 1650, 1200, 1800, 3, 3, 0));

    sauver(chemin(QStringLiteral("lien.svgMv")));

    QCOMPARE(d().textes(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(QFileInfo(chemin(QStringLiteral("lien.svgMv"))).isSymLink());
    QCOMPARE(entrees(chemin(QStringLiteral("rangement"))),
             message.isEmpty() ? QStringList{QStringLiteral("partie.svgMv")} : QStringList());
    if (message.isEmpty())
        QCOMPARE(lireOctets(chemin(cibleDuLien)), QByteArray("1350\r\n1650\r\n1200\r\n1800\r\n3\r\n3\r\n0\r\n"));
}

void TestSauvegarde::sauvegardeSousUmask077()
{
    // A player whose umask keeps his files private gets a private save.
    poser(partie(1500, 1500, 1500, 1500, 2, 2, 0));
    d().fichiers.enqueue(chemin(QStringLiteral("privee")));
    const ResultatEnfant r = executerDansUnEnfant([this] {
        ::umask(077);
        f().Button6Click();
        return d().textes().join(QLatin1Char('\n')).toUtf8();
    });
    QVERIFY2(r.reussi, qPrintable(r.probleme));
    QCOMPARE(r.sortie, QByteArray());
    QCOMPARE(QString::number(modeDe(chemin(QStringLiteral("privee.svgMv"))), 8), QStringLiteral("600"));
}

// --- dialogs and commands -----------------------------------------------------

void TestSauvegarde::annulations()
{
    choisirNiveau(true);
    const std::int32_t pots[nbCagnottes] = {400, 80, 160, 320, 240};
    poser(partie(1230, 960, 2010, 1650, 3, 3, 0), pots);
    f().Normal1->setEnabled(false);
    f().Difficile1->setEnabled(false);
    const Photo avant = photographier(f());
    const QStringList dossierAvant = entrees(table->dossier);

    d().fichiers.enqueue(QString());
    f().Button6Click();
    Photo attendu = avant;
    attendu.etat.niveau = 1;   // taken from the menu before the dialog opened
    QVERIFY(photographier(f()) == attendu);

    d().fichiers.enqueue(QString());
    f().Button3Click();
    QVERIFY(photographier(f()) == attendu);
    QVERIFY(!f().Normal1->isEnabled() && !f().Difficile1->isEnabled());

    QCOMPARE(d().boites, QList<Boite>());
    QCOMPARE(entrees(table->dossier), dossierAvant);
    QCOMPARE(d().titresDialogues, QStringList({QStringLiteral("Save As"), QStringLiteral("Open")}));
}

void TestSauvegarde::commandesDeSauvegardeInchangees_data()
{
    deuxLignes("sauvegardePossible", "entre deux manches", true, "pendant une manche", false);
}

void TestSauvegarde::commandesDeSauvegardeInchangees()
{
    QFETCH(bool, sauvegardePossible);
    f().Button6->setEnabled(sauvegardePossible);
    f().Sauvegarderunepartie1->setEnabled(sauvegardePossible);
    poser(partie(1500, 1500, 1500, 1500, 4, 4, 0));

    sauver(chemin(QStringLiteral("c")));
    charger(chemin(QStringLiteral("c.svgMv")));

    QCOMPARE(d().textes(), QStringList());
    QCOMPARE(f().Button6->isEnabled(), sauvegardePossible);
    QCOMPARE(f().Sauvegarderunepartie1->isEnabled(), sauvegardePossible);
    QVERIFY(f().Button3->isEnabled());
    QVERIFY(f().Chargerunepartie1->isEnabled());
}

void TestSauvegarde::dialogues()
{
    sauver(chemin(QStringLiteral("x")));
    charger(chemin(QStringLiteral("x.svgMv")));
    QCOMPARE(d().titresDialogues, QStringList({QStringLiteral("Save As"), QStringLiteral("Open")}));
    QCOMPARE(d().filtresDialogues,
             QStringList({QStringLiteral("Sauvegarde (*.svgMv)"), QStringLiteral("*.svgMv")}));
}

QTEST_MAIN(TestSauvegarde)
#include "test_sauvegarde.moc"
