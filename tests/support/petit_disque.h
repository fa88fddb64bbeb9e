#pragma once
// A tiny tmpfs mounted over a folder, to meet a full disk for real. The mount
// lives in a mount namespace of the calling thread's own, so nothing outside
// the test ever sees it; it is taken down when the object goes.
#include <QString>

class PetitDisque {
public:
    explicit PetitDisque(const QString &dossier, int kio = 8);   // the folder must exist
    ~PetitDisque();
    PetitDisque(const PetitDisque &) = delete;
    PetitDisque &operator=(const PetitDisque &) = delete;

    bool monte() const { return estMonte; }
    QString probleme() const { return raison; }   // why it could not be mounted
    // Takes all the space left with a filler file, so that the next write
    // fails for want of space. False if the disk never filled.
    bool remplir();

private:
    QString dossier;
    bool estMonte = false;
    QString raison;
};
