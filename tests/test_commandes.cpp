// The table as a player drives it with real keys, clicks and dialogs: Enter
// passes, the hand played from the keyboard, the Tab order, the "Son" box,
// names typed in the file dialogs, a close request while the seats play.
#include <QtTest>
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include "aide_tours.h"
#include "platform/plateforme.h"
#include "ui/annonce.h"
#include "ui/jg.h"

namespace {

// Presses a key where the focus is, as the keyboard does: its release goes
// where the focus is then (the next card, once Space laid one).
void touche(int cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
{
    QWidget *cible = QApplication::focusWidget();
    QVERIFY(cible);
    QTest::keyPress(cible, Qt::Key(cle), modificateurs);
    if (QWidget *apres = QApplication::focusWidget())
        QTest::keyRelease(apres, Qt::Key(cle), modificateurs);
}

// Holds a key down where the focus is: its press, two presses that the
// keyboard repeats (each after a repeated release, as X11 sends them), and
// its release.
void toucheMaintenue(int cle, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
{
    QWidget *cible = QApplication::focusWidget();
    QVERIFY(cible);
    QTest::keyPress(cible, Qt::Key(cle), modificateurs);
    for (int i = 0; i < 2; ++i) {
        QTest::simulateEvent(cible, false, cle, modificateurs, QString(), true);
        QTest::simulateEvent(cible, true, cle, modificateurs, QString(), true);
    }
    QTest::keyRelease(cible, Qt::Key(cle), modificateurs);
}

// A key event with its time, as the X server stamps it, to where the focus is.
void toucheAHeure(bool appui, int cle, ulong heure)
{
    QWidget *cible = QApplication::focusWidget();
    QVERIFY(cible);
    QKeyEvent e(appui ? QEvent::KeyPress : QEvent::KeyRelease, cle, Qt::NoModifier,
                cle == Qt::Key_T ? QStringLiteral("t") : QString());
    e.setTimestamp(heure);
    QApplication::sendEvent(cible, &e);
}

// Dark pixels of a widget as it paints itself.
int pixelsSombres(QWidget *w)
{
    const QImage image = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 80;
    return n;
}

} // namespace

class TestCommandes : public QObject, private SurTable {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void entreePasse_data();
    void entreePasse();
    void mainAuClavier();
    void toucheTenue_data();
    void toucheTenue();
    void toucheTenueSousX();
    void ordreDeTabulation();
    void mancheAuClavier();
    void caseSonLisible();
    void nomTapeDansLesDialogues_data();
    void nomTapeDansLesDialogues();
    void fermetureDemandeePendantLesTours();

private:
    // The human leads a deal with 2 and 3 of clubs, 3 and 4 of diamonds,
    // 5 of spades, three 8s and four 9s; if the human passes after the 2,
    // the seats lay the 3 and 4 of spades, the 5 and the 6 of hearts.
    void preparer();
};

void TestCommandes::init()
{
    poserTable();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
}

void TestCommandes::cleanup()
{
    leverTable();
}

void TestCommandes::preparer()
{
    preparerDonne(*f, {{2, 3, 16, 17, 44, 8, 34, 47, 9, 22, 35, 48}, {42, 43, 13}, {31, 26}, {32, 52}},
                  {1, 14, 27, 40});
    d->oublier();
}

void TestCommandes::entreePasse_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("cle");
    QTest::addColumn<bool>("carteLaissee");
    QTest::addColumn<bool>("passe");
    QTest::addColumn<bool>("maintenue");   // the key held down: it passes once
    QTest::newRow("Son, Entrée") << "Son" << int(Qt::Key_Return) << true << true << false;
    QTest::newRow("carte de la main, Entrée du pavé") << "main" << int(Qt::Key_Enter) << true << true << false;
    QTest::newRow("Son, Entrée maintenue") << "Son" << int(Qt::Key_Return) << true << true << true;
    QTest::newRow("carte de la main, Entrée du pavé maintenue") << "main" << int(Qt::Key_Enter) << true << true
                                                               << true;
    QTest::newRow("passe désactivée") << "Son" << int(Qt::Key_Return) << false << false << false;
    // A focused push button takes the key for itself.
    QTest::newRow("Nouvelle partie, Entrée") << "Button1" << int(Qt::Key_Return) << true << false << false;
}

void TestCommandes::entreePasse()
{
    QFETCH(QString, focus);
    QFETCH(int, cle);
    QFETCH(bool, carteLaissee);
    QFETCH(bool, passe);
    QFETCH(bool, maintenue);
    preparer();
    if (carteLaissee)
        QTest::mouseClick(f->Image1, Qt::LeftButton);   // the 2 of clubs: "Sans 3"
    QCOMPARE(f->Button4->isEnabled(), carteLaissee);
    QVERIFY(f->Button4->isDefault());
    QSignalSpy passes(f->Button4, &QPushButton::clicked);
    QSignalSpy nouvelles(f->Button1, &QPushButton::clicked);
    if (focus == QLatin1String("main")) {
        f->Son->setFocus();
        touche(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f->Image2);
    } else {
        (focus == QLatin1String("Son") ? static_cast<QWidget *>(f->Son) : f->Button1)->setFocus();
    }
    (maintenue ? toucheMaintenue : touche)(cle, cle == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(passes.count(), passe ? 1 : 0);
    QCOMPARE(nouvelles.count(), focus == QLatin1String("Button1") ? 1 : 0);
    if (passe) {
        // The seats played their turns: 3 and 4 of spades, 5 and 6 of hearts.
        QCOMPARE(d->pauses.size(), 4);
        QCOMPARE(etat.carteJouee, 32);
    } else {
        QVERIFY(d->pauses.isEmpty());
    }
}

void TestCommandes::mainAuClavier()
{
    preparer();
    const auto focus = [] { return QApplication::focusWidget(); };
    // What a screen reader asks the window for: its focused object's name.
    const auto entendu = [this] {
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(f)->focusChild();
        return i && i->state().focused ? i->text(QAccessible::Name) : QStringLiteral("<rien>");
    };

    f->Son->setFocus();
    touche(Qt::Key_Tab);
    QCOMPARE(focus(), f->Image1);
    QCOMPARE(entendu(), QStringLiteral("2 de trèfle"));
    touche(Qt::Key_Right);
    QCOMPARE(focus(), f->Image2);
    touche(Qt::Key_End);
    QCOMPARE(focus(), f->Image12);
    QCOMPARE(entendu(), QStringLiteral("9 de pique"));
    touche(Qt::Key_Right);   // the last card: the focus stays
    QCOMPARE(focus(), f->Image12);
    touche(Qt::Key_Home);
    QCOMPARE(focus(), f->Image1);
    // The focused card shows a frame: it paints differently with the focus.
    touche(Qt::Key_Right);
    const QImage avecFocus = f->Image2->grab().toImage();
    touche(Qt::Key_Left);
    QVERIFY(avecFocus != f->Image2->grab().toImage());

    // Space lays the focused card, as a click does; the focus moves on.
    touche(Qt::Key_Space);
    QVERIFY(f->Image1->isHidden());
    QCOMPARE(f->Image13->carte(), 2);
    QCOMPARE(etat.cartesRestantes[0], 11);
    QCOMPARE(focus(), f->Image2);
    QCOMPARE(entendu(), QStringLiteral("3 de trèfle"));
    // A card that does not follow is refused, and stays.
    touche(Qt::Key_Right);
    touche(Qt::Key_Right);
    QCOMPARE(focus(), f->Image4);
    touche(Qt::Key_Space);
    QCOMPARE(d->textes(), QStringList{QStringLiteral("La carte n'est pas valide")});
    QVERIFY(!f->Image4->isHidden());
    // The 3 of diamonds, then the focus skips the laid card going left.
    touche(Qt::Key_Left);
    touche(Qt::Key_Space);
    QCOMPARE(f->Image13->carte(), 16);
    QCOMPARE(focus(), f->Image4);
    touche(Qt::Key_Left);
    touche(Qt::Key_Left);
    QCOMPARE(focus(), f->Image2);

    // The hand is one Tab stop: Tab leaves it, Shift+Tab goes back to "Son".
    touche(Qt::Key_Tab);
    QCOMPARE(focus(), f->Button1);
    touche(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focus(), f->Image2);
    touche(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focus(), f->Son);
}

void TestCommandes::toucheTenue_data()
{
    QTest::addColumn<int>("cle");
    QTest::addColumn<bool>("paireCoupee");
    // A held key whose repeats X's plugin did not recognise: each repeat
    // comes as a real release and press with the same time when the press
    // arrived after the release was read, or as a press alone when a pause
    // of the seats' turn dropped the release.
    const std::pair<const char *, int> touches[] = {{"Entrée", Qt::Key_Return}, {"Espace", Qt::Key_Space}, {"T", Qt::Key_T}};
    for (const auto &[nom, cle] : touches) {
        QTest::addRow("%s, paire coupée", nom) << cle << true;
        QTest::addRow("%s, sans relâche", nom) << cle << false;
    }
}

void TestCommandes::toucheTenue()
{
    QFETCH(int, cle);
    QFETCH(bool, paireCoupee);
    preparer();
    QSignalSpy passes(f->Button4, &QPushButton::clicked);
    // What T gave the screen reader to say last; emptied after each check.
    const auto lu = [this] {
        const QString texte = f->annonces->dernierMessage();
        f->annonces->direMaintenant(QString());
        return texte.startsWith(QStringLiteral("Sur la zone de jeu"));
    };
    if (cle == Qt::Key_Space) {
        f->Son->setFocus();
        touche(Qt::Key_Tab);   // the 2 of clubs; the 3 would follow it
    } else {
        QTest::mouseClick(f->Image1, Qt::LeftButton);   // "Sans 3"
        f->Son->setFocus();
    }
    // The X server's clock after the first press, which the program was too
    // busy to read at once: its events come stamped later than they arrive.
    QElapsedTimer montre;
    montre.start();
    const auto heureX = [&montre] { return 1300 + ulong(montre.elapsed()); };
    // A release that a pause of the seats' turn drops, as the key repeats.
    const auto relacheEnPause = [cle](ulong heure) {
        auto *e = new QKeyEvent(QEvent::KeyRelease, cle, Qt::NoModifier);
        e->setTimestamp(heure);
        QCoreApplication::postEvent(QApplication::focusWidget(), e);
        pauseSansEntrees(0);
    };
    toucheAHeure(true, cle, 1000);
    QCOMPARE(lu(), cle == Qt::Key_T);
    if (paireCoupee)
        toucheAHeure(false, cle, 1050);
    toucheAHeure(true, cle, 1050);
    QTest::qWait(250);
    const ulong repete = heureX();
    relacheEnPause(repete);
    toucheAHeure(true, cle, repete);
    QCOMPARE(etat.cartesRestantes[0], 11);
    QCOMPARE(passes.count(), cle == Qt::Key_Return ? 1 : 0);
    QVERIFY(!lu());
    // Let go, the key acts again, also when a pause dropped its release.
    toucheAHeure(false, cle, heureX());
    QTest::qWait(100);
    if (cle == Qt::Key_Space) {
        toucheAHeure(true, cle, heureX());
        QCOMPARE(etat.cartesRestantes[0], 10);
    } else if (cle == Qt::Key_T) {
        toucheAHeure(true, cle, heureX());
        QVERIFY(lu());
        QTest::qWait(100);
        relacheEnPause(heureX());
        QTest::qWait(100);
        toucheAHeure(true, cle, heureX());
        QVERIFY(lu());
    }
}

void TestCommandes::toucheTenueSousX()
{
    // Return held under X with a screen reader listening: the X server's
    // events come first, then Qt's copies of them, without their time and,
    // when the plugin did not pair a repeat, without the repeat's mark.
    preparer();
    QTest::mouseClick(f->Image1, Qt::LeftButton);   // "Sans 3"
    f->Son->setFocus();
    QSignalSpy passes(f->Button4, &QPushButton::clicked);
    const quint8 codeRetour = 36;
    const auto x = [](bool appui, ulong heure) {
        struct { quint8 genre, code; quint16 sequence; quint32 heure; quint8 reste[24]; } e{
            quint8(appui ? 2 : 3), codeRetour, 0, quint32(heure), {}};
        qintptr resultat = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &e, &resultat);
    };
    const auto copie = [](bool appui) {
        QKeyEvent e(appui ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier,
                    codeRetour, 0, 0);
        QApplication::sendEvent(QApplication::focusWidget(), &e);
    };
    x(true, 1000);
    x(false, 1600);
    x(true, 1600);
    copie(true);
    copie(false);
    copie(true);
    x(false, 1700);
    copie(false);
    QCOMPARE(passes.count(), 1);
    x(true, 2500);   // pressed again
    copie(true);
    QCOMPARE(passes.count(), 2);
}

void TestCommandes::ordreDeTabulation()
{
    // Nothing invisible takes a stop: before a deal, "Son" leads back to the first button.
    const auto parcours = [](int pas) {
        QList<QWidget *> vus;
        for (int i = 0; i < pas; ++i) {
            touche(Qt::Key_Tab);
            vus << QApplication::focusWidget();
        }
        return vus;
    };
    f->Button1->setFocus();
    QCOMPARE(parcours(4), (QList<QWidget *>{f->Button3, f->Button7, f->Son, f->Button1}));
    preparer();
    f->Son->setFocus();
    QCOMPARE(parcours(2), (QList<QWidget *>{f->Image1, f->Button1}));
    // A new game confirmed: the focus is on the next step, the deal.
    d->reponses.enqueue(true);
    touche(Qt::Key_Space);
    QCOMPARE(QApplication::focusWidget(), f->Button2);
}

void TestCommandes::mancheAuClavier()
{
    // From the last card to the next deal with the keyboard alone: Space
    // lays it, Enter closes the end-of-round window, Enter deals again.
    preparerDonne(*f, {{2}, {42, 43, 13}, {31, 26}, {32, 52}}, {1, 14, 27, 40});
    f->Son->setFocus();
    touche(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f->Image12);
    touche(Qt::Key_Space);
    QVERIFY(mancheFinie);
    QVERIFY(finmanche);
    QTRY_COMPARE(QApplication::activeWindow(), finmanche.data());
    touche(Qt::Key_Return);
    QTRY_VERIFY(finmanche.isNull());
    f->activateWindow();   // as the window manager does once the window closed
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(QApplication::focusWidget(), f->Button2);
    touche(Qt::Key_Return);
    QCOMPARE(etat.cartesRestantes[0], 12);
    QVERIFY(!f->Image1->isHidden());
}

void TestCommandes::caseSonLisible()
{
    // The tick shows plainly on the box, the caption stays white.
    f->Son->setChecked(false);
    const int sansCoche = pixelsSombres(f->Son);
    f->Son->setChecked(true);
    QVERIFY2(pixelsSombres(f->Son) >= sansCoche + 10,
             qPrintable(QStringLiteral("%1 -> %2").arg(sansCoche).arg(pixelsSombres(f->Son))));
    QCOMPARE(f->Son->palette().color(QPalette::WindowText), QColor(Qt::white));
    // Weight 40 on the old scale (360) takes the nearest installed weight:
    // of DejaVu Sans's ExtraLight, Book and Bold, Book.
    QCOMPARE(QFontInfo(f->Son->font()).weight(), int(QFont::Normal));
}

void TestCommandes::nomTapeDansLesDialogues_data()
{
    QTest::addColumn<bool>("ouvrir");
    QTest::addColumn<QString>("nom");
    QTest::newRow("ouvrir, fichier absent") << true << "absent.svgMv";
    QTest::newRow("ouvrir, dossier absent") << true << "dossier/absent.svgMv";
    QTest::newRow("sauver, dossier absent") << false << "dossier/partie";
}

void TestCommandes::nomTapeDansLesDialogues()
{
    // The name goes from the real dialog to the game, which answers in its
    // own words; any box of Qt's own is closed and reported.
    QFETCH(bool, ouvrir);
    QFETCH(QString, nom);
    d->oublier();
    d->dialoguesReels = true;
    f->nouvellePartie();
    f->Difficile1->setEnabled(false);
    f->Normal1->setEnabled(false);
    QString boiteDeQt;
    bool tape = false;
    // One timer types the name; another closes whatever stays open after it.
    QTimer saisie, veille;
    connect(&saisie, &QTimer::timeout, this, [&] {
        auto *dialogue = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (tape || !dialogue)
            return;
        tape = true;
        auto *ligne = dialogue->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(ligne);
        QTest::keyClicks(ligne, nom);
        QTest::keyClick(ligne, Qt::Key_Return);
    });
    connect(&veille, &QTimer::timeout, this, [&] {
        if (auto *boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boiteDeQt = boite->windowTitle() + QStringLiteral(": ") + boite->text();
            boite->reject();
        } else if (auto *dialogue = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); dialogue && tape) {
            dialogue->reject();
        }
    });
    saisie.start(10);
    veille.start(50);
    ouvrir ? f->Button3Click() : f->Button6Click();
    QVERIFY(tape);
    QCOMPARE(boiteDeQt, QString());
    QCOMPARE(d->boites, (QList<Boite>{{Boite::Erreur, QStringLiteral("Fichier introuvable.")}}));
    if (ouvrir)
        QVERIFY(f->Difficile1->isEnabled() && f->Normal1->isEnabled());
}

void TestCommandes::fermetureDemandeePendantLesTours()
{
    // A close request made while the seats play waits for the end of their
    // turns, then asks the question once.
    preparer();
    QTest::mouseClick(f->Image1, Qt::LeftButton);
    int questionsPendant = 0;
    d->aChaquePause = [&](int) {
        if (d->pauses.size() == 1)
            QCoreApplication::postEvent(f->windowHandle(), new QCloseEvent);
        pauseSansEntrees(0);
        questionsPendant += int(d->boites.size());
    };
    d->reponses.enqueue(false);
    QTest::mouseClick(f->Button4, Qt::LeftButton);
    QCOMPARE(d->pauses.size(), 4);
    QCOMPARE(questionsPendant, 0);
    QTRY_COMPARE(d->boites.size(), 1);
    QCOMPARE(d->boites.first(), (Boite{Boite::Confirmation, QStringLiteral("Voulez-vous vraiement quitter ?")}));
    QTest::qWait(50);
    QCOMPARE(d->boites.size(), 1);
    QVERIFY(f->isVisible());
    d->reponses.enqueue(true);
    QVERIFY(f->close());
    QCOMPARE(d->terminaisons, 1);
}

QTEST_MAIN(TestCommandes)
#include "test_commandes.moc"
