#include "platform/touches.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <cstdint>

namespace {

// X sends a repeat's release and press with the same time; no hand lets a
// key go and presses it again within this many milliseconds.
constexpr unsigned long paireRepetee = 30;

struct EtatTouche {
    bool enfoncee = false;
    unsigned long heureRelache = 0;   // 0: none, or made by a program
    unsigned long long numero = 0;    // real presses so far

    void voir(bool appui, bool repete, unsigned long heure)
    {
        if (!appui) {
            if (!repete) {
                enfoncee = false;
                heureRelache = heure;
            }
            return;
        }
        if (enfoncee)
            return;   // the same press seen again, or a repeat
        enfoncee = true;
        const bool paire = heure != 0 && heureRelache != 0 && heure >= heureRelache
                           && heure - heureRelache <= paireRepetee;
        if (!repete && !paire)
            ++numero;
    }
};

// The start of the X protocol's key press and release events.
struct EvenementToucheX {
    std::uint8_t genre;
    std::uint8_t code;
    std::uint16_t sequence;
    std::uint32_t heure;
};
constexpr std::uint8_t appuiX = 2;
constexpr std::uint8_t relacheX = 3;

// Under X the keys are followed in the X server's own events, as they come:
// by the time they become Qt's key events, a screen reader's bridge may have
// held them back and sent copies without their time, and a pause dropped
// others. Elsewhere (Wayland, events made by programs) Qt's key events are
// followed, by key.
class Suivi : public QObject, public QAbstractNativeEventFilter {
public:
    QHash<int, EtatTouche> touches;      // by Qt key
    QHash<quint32, EtatTouche> codesX;   // by X key code, which Qt's events carry as their scan code

    Suivi() : QObject(qApp)
    {
        qApp->installEventFilter(this);
        qApp->installNativeEventFilter(this);
    }
    // The native filter leaves the dispatcher by itself when it goes.

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *e = static_cast<const EvenementToucheX *>(message);
        const std::uint8_t genre = e->genre & 0x7f;
        if (genre == appuiX || genre == relacheX)
            codesX[e->code].voir(genre == appuiX, false, e->heure);
        return false;
    }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            voir(static_cast<QKeyEvent *>(e));
        } else if (e->type() == QEvent::ApplicationStateChange
                   && QGuiApplication::applicationState() != Qt::ApplicationActive) {
            // The releases now go to another program: the next press is a real one.
            for (EtatTouche &t : touches)
                t = {false, 0, t.numero};
            for (EtatTouche &t : codesX)
                t = {false, 0, t.numero};
        }
        return false;
    }

    // The key's state, and its name for ToucheUnique: X's code when X told of it.
    std::pair<const EtatTouche *, int> etat(const QKeyEvent *e) const
    {
        const quint32 code = e->nativeScanCode();
        if (code != 0) {
            const auto x = codesX.constFind(code);
            if (x != codesX.constEnd())
                return {&*x, -int(code)};
        }
        const auto t = touches.constFind(e->key());
        return {t == touches.constEnd() ? nullptr : &*t, e->key()};
    }

    void voir(const QKeyEvent *e)
    {
        const quint32 code = e->nativeScanCode();
        if (code != 0 && codesX.contains(code))
            return;
        touches[e->key()].voir(e->type() == QEvent::KeyPress, e->isAutoRepeat(), e->timestamp());
    }
};

Suivi &suivi()
{
    static Suivi *s = new Suivi;   // owned by the application
    return *s;
}

} // namespace

void ToucheUnique::suivre()
{
    suivi();
}

void ToucheUnique::observer(const QKeyEvent *e)
{
    suivi().voir(e);
}

void ToucheUnique::appui(const QKeyEvent *e, const std::function<void()> &action)
{
    observer(e);
    const auto [etat, nom] = suivi().etat(e);
    const unsigned long long n = etat ? etat->numero : 0;
    if (e->isAutoRepeat() || (nom == cle && n == numero))
        return;
    cle = nom;
    numero = n;
    action();
}
