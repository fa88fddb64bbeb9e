#include "platform/plateforme.h"
#include "platform/son.h"
#include "platform/touches.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QCompleter>
#include <QKeyEvent>
#include <QPointer>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <memory>

namespace {

std::unique_ptr<Plateforme> enVigueur;

const QString titre = QStringLiteral("Merle Vert");

QWidget *parentDesBoites()
{
    QWidget *w = QApplication::activeWindow();
    return w ? w : QApplication::activeModalWidget();
}

// Drops the mouse and keyboard input that piled up while the thread slept:
// a click made while the computer seats play must not lay a card afterwards.
// A request to close a window is not lost: it is held, and posted again
// after the pause, so that it reaches its window once the turns are over
// (each later pause holds it again).
class FiltreEntrees : public QObject {
public:
    QList<QPointer<QObject>> fermetures;

    bool eventFilter(QObject *objet, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::Close:
            if (!fermetures.contains(objet))
                fermetures.append(objet);
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // Dropped, but a key let go meanwhile is let go for good.
            ToucheUnique::observer(static_cast<QKeyEvent *>(e));
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

// The file name's completer, when Return accepts the dialog while its list
// shows, leaves that list open after the dialog has closed: it keeps the
// keyboard to itself, no window is then active, and the focused control of
// the main window is neither drawn nor told to a screen reader.
void fermerLesCompletions(const QWidget &dialogue)
{
    for (const QCompleter *c : dialogue.findChildren<QCompleter *>())
        if (c->popup() && c->popup()->isVisible())
            c->popup()->hide();
}

// Once a file dialog has closed, the window it was opened from has the
// keyboard again, but Qt's widgets may not hear it: after the name completer
// has shown, the platform gives the window the focus while QApplication
// keeps no active window, so that the focused control is neither drawn nor
// told to a screen reader. Once the closing has been handled, a window left
// so is made the active one.
void rendreLaMain(QWidget *w)
{
    const QPointer<QWidget> fenetre = w ? w->window() : nullptr;
    if (!fenetre)
        return;
    constexpr int apresLaFermeture = 300;   // ms
    QTimer::singleShot(apresLaFermeture, fenetre, [fenetre] {
        if (fenetre && fenetre->isVisible() && !QApplication::activeWindow()
            && QGuiApplication::focusWindow() == fenetre->windowHandle()) {
            // Qt 6.5 deprecates this call in favour of activateWindow(), which
            // only asks the window manager for the keyboard: the window has it
            // already, and nothing would change. Only Qt's record is behind.
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            QApplication::setActiveWindow(fenetre);
            QT_WARNING_POP
        }
    });
}

} // namespace

Plateforme &plateforme()
{
    if (!enVigueur)
        enVigueur = std::make_unique<PlateformeReelle>();
    return *enVigueur;
}

void installerPlateforme(Plateforme *p)
{
    enVigueur.reset(p);
}

void demanderLeClavier(QWidget *fenetre)
{
    QTimer::singleShot(0, fenetre, [fenetre] {
        if (fenetre->isVisible())
            fenetre->activateWindow();
    });
}

void signalerErreur(const QString &message)
{
    plateforme().erreur(message + QLatin1Char('.'));
}

// Opens a box of the game and returns the button chosen. Its text joins the
// caption in the box's accessible name: screen readers braille the name of a
// box beside its focused button, not its text, and do not speak a text twice
// when it is already in the name.
static int ouvrirBoite(QMessageBox::Icon icone, const QString &texte, QMessageBox::StandardButtons boutons,
                       QMessageBox::StandardButton parDefaut = QMessageBox::Ok)
{
    QMessageBox boite(icone, titre, texte, boutons, parentDesBoites());
    boite.setDefaultButton(parDefaut);
    boite.setAccessibleName(titre + QStringLiteral(". ") + texte);
    return boite.exec();
}

bool PlateformeReelle::confirmer(const QString &texte)
{
    return ouvrirBoite(QMessageBox::Question, texte, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

void PlateformeReelle::informer(const QString &texte)
{
    ouvrirBoite(QMessageBox::Information, texte, QMessageBox::Ok);
}

void PlateformeReelle::afficher(const QString &texte)
{
    ouvrirBoite(QMessageBox::NoIcon, texte, QMessageBox::Ok);
}

void PlateformeReelle::erreur(const QString &texte)
{
    ouvrirBoite(QMessageBox::Critical, texte, QMessageBox::Ok);
}

QString PlateformeReelle::choisirFichier(QFileDialog &dialogue)
{
    const int reponse = dialogue.exec();
    fermerLesCompletions(dialogue);
    rendreLaMain(dialogue.parentWidget());
    if (reponse != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return QString();
    return dialogue.selectedFiles().constFirst();
}

void pauseSansEntrees(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
    FiltreEntrees filtre;
    ToucheUnique::suivre();
    qApp->installEventFilter(&filtre);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&filtre);
    for (const QPointer<QObject> &objet : std::as_const(filtre.fermetures))
        if (objet)
            QCoreApplication::postEvent(objet, new QCloseEvent);
}

void PlateformeReelle::pause(int ms)
{
    pauseSansEntrees(ms);
}

int PlateformeReelle::heureDuJourMs()
{
    return QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay();
}

PlateformeReelle::PlateformeReelle() = default;
PlateformeReelle::~PlateformeReelle() = default;

void PlateformeReelle::bip()
{
    if (!son)
        son = std::make_unique<SonBureau>([] { QApplication::beep(); });
    son->jouer();
}

QString PlateformeReelle::repertoireCourant()
{
    return QDir::currentPath();
}

void PlateformeReelle::terminer()
{
    // exit() rather than quit(): quit() would send every window a close
    // request, and the main window would ask its question a second time.
    QCoreApplication::exit(0);
}
