#include "platform/son.h"

#include <canberra.h>
#include <pthread.h>

SonBureau::SonBureau(std::function<void()> siMuet)
    : siMuet(std::move(siMuet))
{
}

SonBureau::~SonBureau()
{
    {
        std::lock_guard garde(verrou);
        arret = true;
    }
    reveil.notify_one();
    if (fil.joinable())
        fil.join();
}

void SonBureau::jouer()
{
    {
        std::lock_guard garde(verrou);
        ++demandes;
        if (!fil.joinable())
            fil = std::thread(&SonBureau::boucle, this);
    }
    reveil.notify_one();
}

void SonBureau::boucle()
{
    pthread_setname_np(pthread_self(), "son");
    // The context is made by the first sound and kept: later sounds reuse
    // its connection, and the server keeps the decoded sound in its cache
    // ("permanent", shared with the desktop's other users of that sound).
    // Without a server canberra tries its next driver, and each sound tries
    // to connect again, so a server started later is heard.
    ca_context *contexte = nullptr;
    std::unique_lock garde(verrou);
    for (;;) {
        reveil.wait(garde, [this] { return arret || demandes > 0; });
        if (arret)
            break;
        --demandes;
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
        if (!joue)
            QMetaObject::invokeMethod(&relais, siMuet, Qt::QueuedConnection);
        garde.lock();
    }
    garde.unlock();
    if (contexte)
        ca_context_destroy(contexte);
}
