#pragma once
// Test double of the platform: records every box, pause and beep, answers
// confirmations and file dialogs from a script, returns a fixed time of day.
#include <QList>
#include <functional>
#include <QQueue>
#include <QString>
#include <QStringList>
#include "platform/plateforme.h"

struct Boite {
    enum Genre { Confirmation, Information, Simple, Erreur } genre;
    QString texte;
    bool operator==(const Boite &) const = default;
};

class DoublePlateforme : public Plateforme {
public:
    // Script: answers to the next confirmations (Yes = true) and file dialogs
    // ("" = cancelled). A question with no scripted answer is recorded in
    // questionsSansReponse and answered No / cancelled.
    QQueue<bool> reponses;
    QQueue<QString> fichiers;
    int heure = 12 * 3600 * 1000;   // fixed time of day, ms since midnight UTC
    QString repertoire;             // working directory reported; empty = the real one
    bool dialoguesReels = false;    // file dialogs run for real (the test types into them)

    QList<Boite> boites;
    QList<int> pauses;
    QStringList titresDialogues;    // title of each file dialog shown
    QStringList filtresDialogues;   // its name filters, joined by ";;"
    int bips = 0;
    int terminaisons = 0;
    int questionsSansReponse = 0;
    // Called at each box, after it is recorded (lets a test act while a box is "open").
    std::function<void(const Boite &)> aChaqueBoite;
    // Called at each pause, after it is recorded (lets a test look at the
    // window, or act, while the program is paused).
    std::function<void(int)> aChaquePause;

    bool confirmer(const QString &texte) override;
    void informer(const QString &texte) override { noter(Boite::Information, texte); }
    void afficher(const QString &texte) override { noter(Boite::Simple, texte); }
    void erreur(const QString &texte) override { noter(Boite::Erreur, texte); }
    QString choisirFichier(QFileDialog &dialogue) override;
    void pause(int ms) override;
    int heureDuJourMs() override { return heure; }
    void bip() override { ++bips; }
    QString repertoireCourant() override;
    void terminer() override { ++terminaisons; }

    QStringList textes() const;     // the texts of all boxes, in order
    void oublier();                 // clears what was recorded

private:
    void noter(Boite::Genre genre, const QString &texte);
};

// Installs a new double as the platform and returns it (owned by the platform).
DoublePlateforme *installerDouble();
