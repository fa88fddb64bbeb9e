#pragma once
// The desktop's event sound: the "bell" of the freedesktop sound theme,
// played through the sound server with the media role "event", so that the
// desktop's volume and mute for event sounds apply to it.
#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

class SonBureau {
public:
    // siMuet runs on the creating thread's event loop in place of a sound
    // that could not be started in time (no sound server, no driver, no
    // sound file, or a server that does not answer).
    explicit SonBureau(std::function<void()> siMuet);
    // Waits for the sound thread a moment at most: a thread held by a sound
    // server that does not answer is left to end on its own.
    ~SonBureau();
    SonBureau(const SonBureau &) = delete;
    SonBureau &operator=(const SonBureau &) = delete;

    // Returns at once. Connecting to the server, finding the sound and
    // starting it happen on a thread of its own, started by the first sound:
    // a slow or absent server never holds the window up. A sound means "now":
    // requests made while an earlier one is still being played merge into
    // the latest, one that could not start within a second is dropped, and
    // when none has started after delaiCloche, siMuet stands in for it.
    void jouer();

    static constexpr std::chrono::milliseconds delaiCloche{500};
    static constexpr std::chrono::milliseconds retardMax{1000};
    static constexpr std::chrono::milliseconds attenteFin{200};

private:
    struct Commun;   // what the sound thread shares with this object
    static void boucle(std::shared_ptr<Commun> commun);

    std::function<void()> siMuet;
    QObject relais;   // lives on the creating thread: siMuet is queued to it
    std::shared_ptr<Commun> commun;
    std::thread fil;
};
