#pragma once
// The desktop's event sound: the "bell" of the freedesktop sound theme,
// played through the sound server with the media role "event", so that the
// desktop's volume and mute for event sounds apply to it.
#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class SonBureau {
public:
    // siMuet runs on the creating thread's event loop, once for each sound
    // that could not be started (no sound server, no driver, no sound file).
    explicit SonBureau(std::function<void()> siMuet);
    ~SonBureau();
    SonBureau(const SonBureau &) = delete;
    SonBureau &operator=(const SonBureau &) = delete;

    // Returns at once. Connecting to the server, finding the sound and
    // starting it happen on a thread of its own, started by the first sound:
    // a slow or absent server never holds the window up.
    void jouer();

private:
    void boucle();

    std::function<void()> siMuet;
    QObject relais;   // lives on the creating thread: siMuet is queued to it
    std::mutex verrou;
    std::condition_variable reveil;
    int demandes = 0;
    bool arret = false;
    std::thread fil;
};
