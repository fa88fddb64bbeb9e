// The end-of-game window: its look, the lock it puts on the main window,
// the close that records the best score, and its place on the screen.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <QAccessible>
#include "storage/meilleurscore.h"
#include "support/table.h"
#include "support/fichiers.h"
#include "ui/fin_partie.h"

namespace {

const QByteArray ancien = "Ancien\r\n1234\r\n";

bool principaleVerrouillee()
{
    return !principale->Panel1->isEnabled() && !principale->Fichier->isEnabled()
           && !principale->Fichier->menuAction()->isEnabled();
}

bool principaleLibre()
{
    return principale->Panel1->isEnabled() && principale->Fichier->isEnabled()
           && principale->Fichier->menuAction()->isEnabled();
}

} // namespace

class TestFinPartie : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { table.reset(); }

    void apparence();
    void geometrie_data();
    void geometrie();
    void verrouilleLaPrincipale();
    void fermeture_data();
    void fermeture();
    void nomColleSurUneLigne();
    void echecDEnregistrementGardeLaFenetre();
    void niEntreeNiEchapNeFerment();
    void focusSurLeNom();
    void centreeALaCreation();
    void finDuProgrammeSansEnregistrer();   // last: the quit leaves its mark on the thread

private:
    std::unique_ptr<Table> table;
    QString fichierMv() const { return QDir(table->dossier).filePath("mv"); }
};

void TestFinPartie::init()
{
    table = std::make_unique<Table>();
    etat.tresor[0] = 2400;
    etat.niveau = 0;
    principale->Normal1Click();
    table->plateforme->oublier();
}

void TestFinPartie::apparence()
{
    auto *f = new Tfinpartie(principale);
    QCOMPARE(finpartie.data(), f);
    QCOMPARE(f->parentWidget(), principale);
    QCOMPARE(f->windowTitle(), QStringLiteral("La partie est fini"));
    QCOMPARE(f->size(), QSize(547, 158));
    QCOMPARE(f->minimumSize(), f->maximumSize());
    QVERIFY(f->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(f->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(f->GroupBox1->title(), QStringLiteral("Résutat des joueurs"));
    QCOMPARE(f->GroupBox2->title(), QStringLiteral("Vous êtes le premier, quel est votre nom"));
    QCOMPARE(f->Edit1->text(), QStringLiteral("Edit1"));
    QCOMPARE(f->Button1->text(), QStringLiteral("&OK"));
    QVERIFY(!f->Button1->isDefault());
    QVERIFY(!f->Button1->autoDefault());

    QCOMPARE(f->palette().color(QPalette::Window), QColor(0, 128, 0));
    QCOMPARE(f->Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(f->Label2->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(f->GroupBox2->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(f->Edit1->palette().color(QPalette::Text), QColor(0, 128, 0));
    QCOMPARE(f->Button1->palette().color(QPalette::Button), QColor(85, 170, 0));
    QCOMPARE(f->Button1->palette().color(QPalette::ButtonText), QColor(Qt::white));
    QCOMPARE(f->Label1->font().pixelSize(), 19);
    // A result is the window's text for a screen reader, not the group box's caption.
    f->Label3->setText(QStringLiteral("J'ai 1500 Euros"));
    QAccessibleInterface *resultat = QAccessible::queryAccessibleInterface(f->Label3);
    QCOMPARE(resultat->text(QAccessible::Name), QStringLiteral("J'ai 1500 Euros"));
    QVERIFY(resultat->relations().isEmpty());
    for (QWidget *w : {static_cast<QWidget *>(f->GroupBox1), static_cast<QWidget *>(f->GroupBox2),
                       static_cast<QWidget *>(f->Label5), static_cast<QWidget *>(f->Edit1)})
        QCOMPARE(w->font().pixelSize(), 11);

    // Not modal: the main window keeps running while it is open.
    f->show();
    QVERIFY(!f->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestFinPartie::geometrie_data()
{
    QTest::addColumn<QString>("composant");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Label1") << "Label1" << QRect(40, 11, 497, 24);
    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(8, 40, 209, 89);
    QTest::newRow("Label2") << "Label2" << QRect(8, 16, 185, 18);
    QTest::newRow("Label3") << "Label3" << QRect(8, 32, 185, 18);
    QTest::newRow("Label4") << "Label4" << QRect(8, 48, 185, 18);
    QTest::newRow("Label5") << "Label5" << QRect(8, 64, 185, 18);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(280, 64, 265, 57);
    QTest::newRow("Edit1") << "Edit1" << QRect(16, 24, 233, 26);
    QTest::newRow("Button1") << "Button1" << QRect(448, 128, 97, 25);
}

void TestFinPartie::geometrie()
{
    QFETCH(QString, composant);
    QFETCH(QRect, rect);
    auto *f = new Tfinpartie(principale);
    // Long texts must not stretch the labels: their size stays fixed.
    f->Label1->setText(QStringLiteral("Orvane BELTRUCQ n'a plus d'argent, ").repeated(5));
    f->Label2->setText(QStringLiteral("Vous : 123456789 Euros et encore bien plus"));
    f->show();
    const QHash<QString, QWidget *> parNom = {
        {"Label1", f->Label1}, {"GroupBox1", f->GroupBox1}, {"Label2", f->Label2}, {"Label3", f->Label3},
        {"Label4", f->Label4}, {"Label5", f->Label5},       {"GroupBox2", f->GroupBox2}, {"Edit1", f->Edit1},
        {"Button1", f->Button1}};
    QCOMPARE(parNom.value(composant)->geometry(), rect);
    QCOMPARE(f->size(), QSize(547, 158));
}

void TestFinPartie::verrouilleLaPrincipale()
{
    QVERIFY(principaleLibre());
    QPointer<Tfinpartie> f = new Tfinpartie(principale);
    // Locked from the creation on, before the window is even shown.
    QVERIFY(principaleVerrouillee());
    QVERIFY(principale->Niveau1->menuAction()->isEnabled());
    QVERIFY(principale->Aide1->menuAction()->isEnabled());
    f->GroupBox2->hide();
    f->show();
    QVERIFY(principaleVerrouillee());
    QVERIFY(f->close());
    QVERIFY(principaleLibre());
    QTRY_VERIFY(f.isNull());
    QVERIFY(finpartie.isNull());
}

void TestFinPartie::fermeture_data()
{
    QTest::addColumn<bool>("nomDemande");
    QTest::addColumn<QString>("saisie");     // typed over the name box; "-" leaves it as it started
    QTest::addColumn<QString>("maniere");    // "OK" clicks the button; "croix" closes as the title bar does
    QTest::addColumn<QByteArray>("fichier");
    for (const char *maniere : {"OK", "croix"}) {
        QTest::addRow("nom caché, %s", maniere) << false << "-" << maniere << ancien;
        QTest::addRow("nom laissé, %s", maniere) << true << "-" << maniere << QByteArray("Edit1\r\n2400\r\n");
        QTest::addRow("nom vidé, %s", maniere) << true << "" << maniere << QByteArray("\r\n2400\r\n");
        QTest::addRow("nom tapé, %s", maniere)
            << true << QStringLiteral("Zoé") << maniere << QByteArray("Zo\xe9\r\n2400\r\n");
    }
}

void TestFinPartie::fermeture()
{
    QFETCH(bool, nomDemande);
    QFETCH(QString, saisie);
    QFETCH(QString, maniere);
    QFETCH(QByteArray, fichier);
    ecrireOctets(fichierMv(), ancien);
    // The settlement leaves the level items disabled until the close.
    principale->Difficile1->setEnabled(false);
    principale->Normal1->setEnabled(false);

    const QString nomAvant = meilleurNom;
    QPointer<Tfinpartie> f = new Tfinpartie(principale);
    f->Label1->setText(QStringLiteral("Vous n'avez plus d'argent"));
    f->GroupBox2->setVisible(nomDemande);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    if (saisie != QLatin1String("-")) {
        f->Edit1->selectAll();
        QTest::keyClick(f->Edit1, Qt::Key_Delete);
        f->Edit1->insert(saisie);   // as typed: QTest sends only ASCII keys
    }
    if (maniere == QLatin1String("OK"))
        QTest::mouseClick(f->Button1, Qt::LeftButton);
    else
        QVERIFY(f->close());

    QCOMPARE(table->plateforme->boites, QList<Boite>{});
    QCOMPARE(lireOctets(fichierMv()), fichier);
    if (!nomDemande)
        QCOMPARE(meilleurNom, nomAvant);
    QVERIFY(principale->Difficile1->isEnabled());
    QVERIFY(principale->Normal1->isEnabled());
    QVERIFY(principaleLibre());
    QTRY_VERIFY(f.isNull());
}

void TestFinPartie::nomColleSurUneLigne()
{
    // Line breaks, NUL and Ctrl-Z pasted into the name become blanks in the
    // box, and the file gets what the box shows, on one line.
    QPointer<Tfinpartie> f = new Tfinpartie(principale);
    f->show();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QGuiApplication::clipboard()->setText(QStringLiteral("Pa\nul\r\n") + QChar(0) + QChar(26) + QStringLiteral("!"));
    f->Edit1->selectAll();
    QTest::keySequence(f->Edit1, QKeySequence::Paste);
    QCOMPARE(f->Edit1->text(), QStringLiteral("Pa ul    !"));
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(lireOctets(fichierMv()), QByteArray("Pa ul    !\r\n2400\r\n"));
}

void TestFinPartie::echecDEnregistrementGardeLaFenetre()
{
    QVERIFY(QDir(table->dossier).mkdir("mv"));
    principale->Difficile1->setEnabled(false);
    QPointer<Tfinpartie> f = new Tfinpartie(principale);
    f->show();
    QVERIFY(!f->close());
    QCOMPARE(table->plateforme->textes(), QStringList{QStringLiteral("Nom de fichier incorrect.")});
    QVERIFY(f->isVisible());
    QCOMPARE(finpartie.data(), f.data());
    QVERIFY(principale->Difficile1->isEnabled());   // the first step of the close did run
    QVERIFY(principaleVerrouillee());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f.isNull());

    QVERIFY(QDir(table->dossier).rmdir("mv"));
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY(principaleLibre());
    QCOMPARE(lireOctets(fichierMv()), QByteArray("Edit1\r\n2400\r\n"));
    QTRY_VERIFY(f.isNull());
}

void TestFinPartie::niEntreeNiEchapNeFerment()
{
    auto *f = new Tfinpartie(principale);
    f->show();
    QVERIFY(QTest::qWaitForWindowActive(f));
    for (QWidget *cible : {static_cast<QWidget *>(f->Edit1), static_cast<QWidget *>(f->Button1)}) {
        cible->setFocus();
        QTest::keyClick(cible, Qt::Key_Escape);
        QTest::keyClick(cible, Qt::Key_Return);
        QTest::keyClick(cible, Qt::Key_Enter);
        QVERIFY(f->isVisible());
    }
    QVERIFY(!QFile::exists(fichierMv()));
    // The space bar presses the focused button.
    QTest::keyClick(f->Button1, Qt::Key_Space);
    QVERIFY(!f->isVisible());
    QVERIFY(QFile::exists(fichierMv()));
}

void TestFinPartie::focusSurLeNom()
{
    auto *f = new Tfinpartie(principale);
    f->show();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(QApplication::focusWidget(), f->Edit1);
    QTest::keyClick(f->Edit1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f->Button1);
}

void TestFinPartie::centreeALaCreation()
{
    const QSize ecran = QGuiApplication::primaryScreen()->geometry().size();
    auto *f = new Tfinpartie(principale);
    QCOMPARE(f->pos(), QPoint((ecran.width() - 547) / 2, (ecran.height() - 158) / 2));
    // A position the window was given elsewhere is put back at creation only.
    f->move(-40, -30);
    f->show();
    QCOMPARE(f->pos(), QPoint(-40, -30));
}

void TestFinPartie::finDuProgrammeSansEnregistrer()
{
    // The player quits with the window still open: nothing is recorded, no
    // box is shown, and the window does not hold the end up.
    ecrireOctets(fichierMv(), ancien);
    QPointer<Tfinpartie> f = new Tfinpartie(principale);
    f->show();
    table->plateforme->reponses.enqueue(true);   // "Voulez-vous vraiement quitter ?"
    QEvent quitter(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quitter);
    QVERIFY(f.isNull() || !f->isVisible());
    QCOMPARE(lireOctets(fichierMv()), ancien);
    for (const Boite &b : table->plateforme->boites)
        QCOMPARE(b.genre, Boite::Confirmation);
}

QTEST_MAIN(TestFinPartie)
#include "test_fin_partie.moc"
