// What a screen reader is told as the table plays: the messages, read back
// from the accessibility events the window sends, with their times; that
// they never move the focus nor change a pixel; the table read with T.
#include <QtTest>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <functional>
#include <QGroupBox>
#include <QMessageBox>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include "aide_tours.h"
#include "ui/annonce.h"
#include "ui/fin_partie.h"
#include "ui/jg.h"

namespace {

struct Message {
    QString texte;     // what the screen reader speaks
    QString braille;   // and shows on the braille line
    qint64 ms;         // since the recording started
};

QList<Message> messages;
int focusRecus = 0;            // focus events on the announcer itself
int notificationsMontrees = 0;
QElapsedTimer horloge;

// A notification inside a status bar, as Orca 43 reads it: it speaks the
// notification's name, then the labels under it that are neither that name
// nor part of it; it brailles those labels alone.
Message luParOrca43(QAccessibleInterface *notification)
{
    const QString nom = notification->text(QAccessible::Name);
    QStringList etiquettes;
    const std::function<void(QAccessibleInterface *)> parcourir = [&](QAccessibleInterface *i) {
        for (int k = 0; k < i->childCount(); ++k) {
            QAccessibleInterface *enfant = i->child(k);
            const QString t = enfant->text(QAccessible::Name);
            if (enfant->role() == QAccessible::StaticText && enfant->relations().isEmpty() && !t.isEmpty()
                && !nom.contains(t) && !etiquettes.contains(t))
                etiquettes << t;
            parcourir(enfant);
        }
    };
    parcourir(notification);
    QStringList dit = etiquettes;
    if (!nom.isEmpty())
        dit.prepend(nom);
    return {dit.join(QLatin1Char(' ')), etiquettes.join(QString()), horloge.elapsed()};
}

// Qt's accessibility update handler: every notification shown, and from
// Qt 6.8 every announcement, is a message.
void enregistrer(QAccessibleEvent *e)
{
    if (!e->object() || (!e->object()->inherits("Annonceur") && !e->object()->inherits("Annonce")))
        return;
    if (e->type() == QAccessible::Focus)
        ++focusRecus;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (e->type() == QAccessible::Announcement) {
        // Orca 48 speaks and brailles the event's text.
        const QString texte = static_cast<QAccessibleAnnouncementEvent *>(e)->message();
        messages.append({texte, texte, horloge.elapsed()});
    }
#endif
    if (e->type() != QAccessible::ObjectShow || !e->object()->inherits("Annonce"))
        return;
    ++notificationsMontrees;
    if (QAccessibleInterface *i = e->accessibleInterface())
        messages.append(luParOrca43(i));
}

// The program's timers that fire (Qt's own caches aside): each one a wake-up.
struct Reveils : QObject {
    int n = 0;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        n += e->type() == QEvent::Timer && o->inherits("QTimer");
        return false;
    }
};

QStringList textes()
{
    QStringList l;
    for (const Message &m : std::as_const(messages))
        l << m.texte;
    return l;
}

// Each message went out once the one before it could be heard.
QString cadence()
{
    for (qsizetype i = 1; i < messages.size(); ++i)
        if (messages[i].ms - messages[i - 1].ms < Annonceur::dureeDeLecture(messages[i - 1].texte.size()))
            return QStringLiteral("« %1 » coupé après %2 ms").arg(messages[i - 1].texte).arg(messages[i].ms - messages[i - 1].ms);
    return QString();
}

// The deal of the turn tests' example round: the human holds 4 of clubs and
// 5 of hearts, seat 2 the 6 and 7 of diamonds and a 9, nobody an 8.
void donneExemple(Tprincipale &f)
{
    preparerDonne(f,
                  {{1, 2, 3, 4, 5, 6, 7, 10, 23, 31, 36, 49},
                   {9, 19, 20, 14, 15, 16, 11, 12, 13, 24, 25, 26},
                   {17, 18, 22, 27, 28, 29, 30, 32, 33, 35, 37, 38},
                   {39, 40, 41, 42, 43, 44, 45, 46, 48, 50, 51, 52}},
                  {8, 21, 34, 47});
}

constexpr int attenteMax = 30000;   // a reading of the whole table takes 20 s

} // namespace

class TestAnnonces : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void uneManche();
    void luEtEnBraille();
    void annonceDeQt();
    void dernierTour_data();
    void dernierTour();
    void tableALaDemande_data();
    void tableALaDemande();
    void niPixelNiFocus();
    void sousUneBoite();
};

void TestAnnonces::initTestCase()
{
    // As when a screen reader runs: the platform's accessibility is switched
    // on, and the events go to the handler instead of the bus.
    QAccessible::installUpdateHandler(enregistrer);
    QPlatformAccessibility *pa = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(pa);
    pa->setActive(true);
    QVERIFY(QAccessible::isActive());
}

void TestAnnonces::init()
{
    poserTable();
    QVERIFY(QTest::qWaitForWindowActive(f));
    messages.clear();
    focusRecus = 0;
    notificationsMontrees = 0;
    horloge.start();
}

void TestAnnonces::cleanup()
{
    leverTable();
}

// The turn tests' example round, heard: the deal's turn, the human's two
// cards gathered into one message while the first is still being read, the
// seat's run and pot, a skip, each return of the turn; in order, once each,
// never one before the last could be heard.
void TestAnnonces::uneManche()
{
    donneExemple(*f);
    QCOMPARE(textes(), QStringList{QStringLiteral("À vous : n'importe quelle carte.")});

    QTest::mouseClick(f->imagesMain[slotDe(1, 4)], Qt::LeftButton);
    QTest::mouseClick(f->imagesMain[slotDe(1, 31)], Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, attenteMax);
    QCOMPARE(messages[1].texte, QStringLiteral("Vous posez le 4 de trèfle, le 5 de cœur."));

    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 3, attenteMax);
    QCOMPARE(messages[2].texte,
             QStringLiteral("Je pose le 6 de carreau, le 7 de carreau, prends la cagnotte du 7 de carreau, "
                            "200 Euros. À vous : il faut un 8."));
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 4, attenteMax);
    QCOMPARE(messages[3].texte, QStringLiteral("Le 8 est sauté. Je pose le 9 de trèfle. À vous : il faut un 10."));
    QCOMPARE(focusRecus, 0);
    QCOMPARE(cadence(), QString());
    QTest::qWait(Annonceur::dureeDeLecture(messages[3].texte.size()));
    QCOMPARE(messages.size(), 4);
}

// A reader who cannot listen reads the same words on the braille line.
void TestAnnonces::luEtEnBraille()
{
    const QString texte = QStringLiteral("Je pose le 6 de carreau. À vous : il faut un 7.");
    f->annonces->direMaintenant(texte);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].texte, texte);
    QCOMPARE(messages[0].braille, texte);
}

// Where Qt has an announcement event, a message is that event alone: a
// notification shown as well would be said a second time, after its role.
void TestAnnonces::annonceDeQt()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const QString texte = QStringLiteral("Le 8 est sauté.");
    QList<QAccessible::AnnouncementPoliteness> politesses;
    QAccessible::installUpdateHandler([](QAccessibleEvent *e) {
        enregistrer(e);
        if (e->type() == QAccessible::Announcement)
            messages.last().braille = QString::number(int(static_cast<QAccessibleAnnouncementEvent *>(e)->politeness()));
    });
    f->annonces->direMaintenant(texte);
    QAccessible::installUpdateHandler(enregistrer);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].texte, texte);
    // Polite: it waits for what the reader is saying, the focus that moved.
    QCOMPARE(messages[0].braille, QString::number(int(QAccessible::AnnouncementPoliteness::Polite)));
    QCOMPARE(notificationsMontrees, 0);
#else
    QSKIP("Qt has no announcement event before 6.8");
#endif
}

void TestAnnonces::dernierTour_data()
{
    QTest::addColumn<QString>("apres");   // what the player does once the round's window is up
    QTest::addColumn<QStringList>("attendus");
    const QString dernier = QStringLiteral("Dernier tour : Je pose le 6 de carreau.");
    QTest::newRow("Ok") << QString() << QStringList{dernier};
    // The end-of-game window follows the round's: the label is said once.
    QTest::newRow("fin de partie") << QStringLiteral("ruine") << QStringList{dernier};
    // T reads the table alone; the last turn still waits for the window.
    QTest::newRow("T sous la fenêtre") << QStringLiteral("T")
                                       << QStringList{QStringLiteral("Sur la zone de jeu : le 6 de carreau. "
                                                                     "Cagnottes"),
                                                      dernier};
    // A deal at once: the last turn first, apart from the new deal's turn.
    QTest::newRow("Distribuer") << QStringLiteral("Distribuer") << QStringList{dernier, QStringLiteral("Je pose ")};
    // A new game: the old game's last turn is dropped.
    QTest::newRow("Nouvelle partie") << QStringLiteral("Nouvelle partie") << QStringList{};
}

// The last turn of a round is said once its window has closed, not under
// it, once, and apart from anything that follows.
void TestAnnonces::dernierTour()
{
    QFETCH(QString, apres);
    QFETCH(QStringList, attendus);
    donneExemple(*f);
    // Seat 2 keeps the 6 of diamonds alone: it ends the round with it.
    for (CardNumber &n : etat.mains[1])
        if (n != 19)
            n = 0;
    etat.cartesRestantes[1] = 1;
    if (apres == QLatin1String("ruine"))
        etat.tresor[3] = 0;
    QTest::mouseClick(f->imagesMain[slotDe(1, 31)], Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, attenteMax);
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QVERIFY(finmanche);
    messages.clear();
    if (apres == QLatin1String("T"))
        QTest::keyClick(f, Qt::Key_T);
    QTest::qWait(1500);
    QCOMPARE(messages.size(), apres == QLatin1String("T") ? 1 : 0);
    // Taken as the click begins: the window closes within it.
    qint64 fermeture = horloge.elapsed();
    QTest::mouseClick(finmanche->Button1, Qt::LeftButton);
    if (apres == QLatin1String("ruine")) {
        QVERIFY(finpartie);
        QTest::qWait(1500);
        fermeture = horloge.elapsed();
        QTest::mouseClick(finpartie->Button1, Qt::LeftButton);
    } else if (apres == QLatin1String("Distribuer")) {
        QTest::mouseClick(f->Button2, Qt::LeftButton);
    } else if (apres == QLatin1String("Nouvelle partie")) {
        d->reponses.enqueue(true);
        QTest::mouseClick(f->Button1, Qt::LeftButton);
    }
    if (!attendus.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), attendus.size(), attenteMax);
    QTest::qWait(1500);
    QCOMPARE(messages.size(), attendus.size());
    for (qsizetype i = 0; i < attendus.size(); ++i) {
        QVERIFY2(messages[i].texte.startsWith(attendus[i]), qPrintable(messages[i].texte));
        // Once the reader could say the table and its focus, whatever the
        // player did since the window closed.
        if (attendus[i].startsWith(QLatin1String("Dernier tour")))
            QVERIFY2(messages[i].ms - fermeture >= Annonceur::dureeDuRetour(),
                     qPrintable(QStringLiteral("%1 ms après la fenêtre").arg(messages[i].ms - fermeture)));
    }
    QCOMPARE(cadence(), QString());
}

void TestAnnonces::tableALaDemande_data()
{
    QTest::addColumn<bool>("difficile");
    QTest::newRow("Normal") << false;
    QTest::newRow("Difficile") << true;
}

// T reads what the table shows; the card counts only where they are shown.
void TestAnnonces::tableALaDemande()
{
    QFETCH(bool, difficile);
    if (difficile)
        f->Difficile1Click();
    donneExemple(*f);
    QTest::mouseClick(f->imagesMain[slotDe(1, 23)], Qt::LeftButton);   // the 10 of diamonds
    QTest::mouseClick(f->Button5, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, attenteMax);
    QCOMPARE(messages[1].texte,
             QStringLiteral("Vous posez le 10 de carreau, prenez la cagnotte du 10 de carreau, 40 Euros."));
    messages.clear();
    f->imagesMain[slotDe(1, 36)]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
    QCOMPARE(messages.size(), 1);
    QString attendu = QStringLiteral(
        "Sur la zone de jeu : le 10 de carreau, il faut un valet. Cagnottes : le 7 de carreau 200, "
        "le 10 de carreau 0, le valet de trèfle 80, le roi de cœur 160, la dame de pique 120 Euros. "
        "Trésors : Vous 1390, Moi 1350, KORBANIGUE 1350, Orvane BELTRUCQ 1350 Euros.");
    if (!difficile)
        attendu += QStringLiteral(" Cartes restantes : Vous 11, Moi 12, KORBANIGUE 12, Orvane BELTRUCQ 12.");
    QCOMPARE(messages[0].texte, attendu);
    // Held down, the key reads the table once.
    QTest::sendKeyEvent(QTest::Press, QApplication::focusWidget(), Qt::Key_T, 't', Qt::NoModifier);
    QCOMPARE(messages.size(), 2);
    QKeyEvent repete(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, QStringLiteral("t"), true);
    QApplication::sendEvent(QApplication::focusWidget(), &repete);
    QCOMPARE(messages.size(), 2);
}

// A message neither takes the focus nor changes what the window shows.
void TestAnnonces::niPixelNiFocus()
{
    donneExemple(*f);
    f->Son->setFocus();
    QTRY_VERIFY(f->Son->hasFocus());
    const QImage avant = f->grab().toImage();
    focusRecus = 0;
    f->annonces->direMaintenant(QStringLiteral("KORBANIGUE pose le 10 de carreau"));
    QVERIFY(f->Son->hasFocus());
    QCOMPARE(focusRecus, 0);
    QCOMPARE(f->grab().toImage(), avant);
    QCOMPARE(textes().last(), QStringLiteral("KORBANIGUE pose le 10 de carreau"));
}

// A message that waits while a box is up goes out when the box closes, and
// the program is not woken meanwhile.
void TestAnnonces::sousUneBoite()
{
    donneExemple(*f);
    QCOMPARE(messages.size(), 1);
    // Laid while the turn is being read: the card waits for it.
    QTest::mouseClick(f->imagesMain[slotDe(1, 4)], Qt::LeftButton);
    QMessageBox boite(QMessageBox::Information, QStringLiteral("Merle Vert"), QStringLiteral("La carte n'est pas valide"),
                      QMessageBox::Ok, f);
    boite.open();
    QVERIFY(QTest::qWaitForWindowExposed(&boite));
    Reveils reveils;
    qApp->installEventFilter(&reveils);
    QTest::qWait(Annonceur::dureeDeLecture(messages[0].texte.size()) + 1500);
    qApp->removeEventFilter(&reveils);
    QCOMPARE(messages.size(), 1);
    // Once, when the turn could be heard; then not until the box goes.
    QVERIFY2(reveils.n <= 1, qPrintable(QStringLiteral("%1 réveils").arg(reveils.n)));
    boite.accept();
    QTRY_COMPARE(messages.size(), 2);
    QCOMPARE(messages[1].texte, QStringLiteral("Vous posez le 4 de trèfle."));
}

QTEST_MAIN(TestAnnonces)
#include "test_annonces.moc"
