#include "platform/touches.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>

namespace {

// X sends a repeat's release and press with the same time; no hand lets a
// key go and presses it again within this many milliseconds.
constexpr unsigned long paireRepetee = 30;

struct EtatTouche {
    bool enfoncee = false;
    unsigned long heureRelache = 0;   // 0: none, or made by a program
    unsigned long long numero = 0;    // real presses so far
};

class Suivi : public QObject {
public:
    QHash<int, EtatTouche> touches;

    Suivi() : QObject(qApp) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
            voir(static_cast<QKeyEvent *>(e));
        else if (e->type() == QEvent::ApplicationStateChange
                 && QGuiApplication::applicationState() != Qt::ApplicationActive) {
            // The releases now go to another program: the next press is a real one.
            for (EtatTouche &t : touches)
                t = {false, 0, t.numero};
        }
        return false;
    }

    void voir(const QKeyEvent *e)
    {
        EtatTouche &t = touches[e->key()];
        const unsigned long heure = e->timestamp();
        if (e->type() == QEvent::KeyRelease) {
            if (!e->isAutoRepeat()) {
                t.enfoncee = false;
                t.heureRelache = heure;
            }
            return;
        }
        if (t.enfoncee)
            return;   // the same press seen again, or a repeat
        t.enfoncee = true;
        const bool repetition = e->isAutoRepeat()
            || (heure != 0 && t.heureRelache != 0 && heure >= t.heureRelache
                && heure - t.heureRelache <= paireRepetee);
        if (!repetition)
            ++t.numero;
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
    const unsigned long long n = suivi().touches.value(e->key()).numero;
    if (e->isAutoRepeat() || (e->key() == cle && n == numero))
        return;
    cle = e->key();
    numero = n;
    action();
}
