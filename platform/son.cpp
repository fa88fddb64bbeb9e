#include "platform/son.h"

#include <QTimer>
#include <canberra.h>
#include <condition_variable>
#include <mutex>
#include <pthread.h>

using Horloge = std::chrono::steady_clock;

// Requests are numbered. Only the latest is kept: one made while another
// waits replaces it. A request is settled once its sound has started, its
// stand-in has rung, or it was dropped; each is settled once, by the sound
// thread or by the timer that rings the stand-in.
struct SonBureau::Commun {
    std::mutex verrou;
    std::condition_variable reveil;   // a request, or the end
    std::condition_variable fini;     // the sound thread has ended
    bool arret = false;               // set by the owner's destructor
    bool termine = false;
    unsigned long demandee = 0;       // the latest request
    Horloge::time_point quand;        // when it was made
    unsigned long prise = 0;          // the latest one the thread has taken
    unsigned long reglee = 0;         // requests up to this one are settled
    // Queues the stand-in to the owner's thread; called locked, while !arret.
    std::function<void()> sonnerPlusTard;
};

SonBureau::SonBureau(std::function<void()> siMuet)
    : siMuet(std::move(siMuet)), commun(std::make_shared<Commun>())
{
    commun->sonnerPlusTard = [this] { QMetaObject::invokeMethod(&relais, this->siMuet, Qt::QueuedConnection); };
}

SonBureau::~SonBureau()
{
    std::unique_lock garde(commun->verrou);
    commun->arret = true;
    commun->reveil.notify_one();
    if (!fil.joinable())
        return;
    // A thread inside canberra waiting for a server that does not answer may
    // stay there for half a minute: the program does not wait for it. It
    // then touches only what it shares through `commun`, and ends when the
    // server answers or the process does.
    const bool fin = commun->fini.wait_for(garde, attenteFin, [this] { return commun->termine; });
    garde.unlock();
    if (fin)
        fil.join();
    else
        fil.detach();
}

void SonBureau::jouer()
{
    unsigned long n;
    {
        std::lock_guard garde(commun->verrou);
        n = ++commun->demandee;
        commun->quand = Horloge::now();
        if (!fil.joinable())
            fil = std::thread(&SonBureau::boucle, commun);
    }
    commun->reveil.notify_one();
    // A sound that has not started by now stands for a server that does not
    // answer: the stand-in rings while it still means "your turn".
    QTimer::singleShot(delaiCloche, &relais, [this, n] {
        {
            std::lock_guard garde(commun->verrou);
            if (commun->reglee >= n)
                return;
            commun->reglee = n;
        }
        siMuet();
    });
}

void SonBureau::boucle(std::shared_ptr<Commun> commun)
{
    pthread_setname_np(pthread_self(), "son");
    // The context is made by the first sound and kept: later sounds reuse
    // its connection, and the server keeps the decoded sound in its cache
    // ("permanent", shared with the desktop's other users of that sound).
    // Without a server canberra tries its next driver, and each sound tries
    // to connect again, so a server started later is heard.
    ca_context *contexte = nullptr;
    std::unique_lock garde(commun->verrou);
    for (;;) {
        commun->reveil.wait(garde, [&] { return commun->arret || commun->demandee > commun->prise; });
        if (commun->arret)
            break;
        const unsigned long n = commun->demandee;
        const Horloge::time_point quand = commun->quand;
        commun->prise = n;
        if (commun->reglee >= n)
            continue;
        if (Horloge::now() - quand > retardMax) {
            commun->reglee = n;
            continue;
        }
        garde.unlock();
        if (!contexte && ca_context_create(&contexte) == CA_SUCCESS)
            ca_context_change_props(contexte,
                                    CA_PROP_APPLICATION_NAME, "Merle Vert",
                                    CA_PROP_APPLICATION_ID, "io.github.merlevert.MerleVert",
                                    CA_PROP_APPLICATION_ICON_NAME, "io.github.merlevert.MerleVert",
                                    nullptr);
        const bool joue = contexte
            && ca_context_play(contexte, 0,
                               CA_PROP_EVENT_ID, "bell",
                               CA_PROP_MEDIA_ROLE, "event",
                               CA_PROP_CANBERRA_CACHE_CONTROL, "permanent",
                               nullptr) == CA_SUCCESS;
        garde.lock();
        if (commun->arret)
            break;
        if (commun->reglee < n) {
            // A failure found late rings nothing: the turn has moved on.
            if (!joue && Horloge::now() - quand <= retardMax)
                commun->sonnerPlusTard();
            commun->reglee = n;
        }
    }
    garde.unlock();
    if (contexte)
        ca_context_destroy(contexte);
    garde.lock();
    commun->termine = true;
    commun->fini.notify_all();
}
