#pragma once
// What the game asks of the system. The program installs the real one at
// start-up; the tests install a double that records and answers in code.
#include <QString>
#include <memory>

class QFileDialog;
class QWidget;
class SonBureau;

class Plateforme {
public:
    virtual ~Plateforme() = default;
    virtual bool confirmer(const QString &texte) = 0;   // Yes/No box, true on Yes
    virtual void informer(const QString &texte) = 0;    // information box, OK
    virtual void afficher(const QString &texte) = 0;    // plain box, OK
    virtual void erreur(const QString &texte) = 0;      // critical box, OK
    virtual QString choisirFichier(QFileDialog &dialogue) = 0;  // "" when cancelled
    virtual void pause(int ms) = 0;                     // blocking, on the UI thread
    virtual int heureDuJourMs() = 0;                    // UTC, ms since midnight
    virtual void bip() = 0;
    virtual QString repertoireCourant() = 0;            // working directory, now
    virtual void terminer() = 0;                        // ends the program
};

// The platform in force; never null once the program or a test has installed one.
Plateforme &plateforme();
// Takes ownership; replaces (and deletes) the previous one.
void installerPlateforme(Plateforme *p);

// The real pause: sleeps on the UI thread, then handles what arrived
// meanwhile without the clicks and keys; a request to close a window is
// handed on once the caller is back in the event loop.
void pauseSansEntrees(int ms);

// Asks the window manager for the keyboard for a window just shown, once
// the step that showed it is over: a box or window closed in the same step
// is gone by then, and a window manager that hands the keyboard back to
// the owner of a closed window (kwin does) does so before this request,
// not after it. Nothing is asked once the window has closed.
void demanderLeClavier(QWidget *fenetre);

// The error box of a step that failed: the message, which names the
// failure, becomes a sentence with its full stop.
void signalerErreur(const QString &message);

// The real platform: Qt message boxes captioned "Merle Vert", the window's
// own dialogs, a blocking sleep, the system clock, and as the beep the
// desktop's event sound, or the toolkit's beep where no sound can be played.
class PlateformeReelle : public Plateforme {
public:
    PlateformeReelle();
    ~PlateformeReelle() override;
    bool confirmer(const QString &texte) override;
    void informer(const QString &texte) override;
    void afficher(const QString &texte) override;
    void erreur(const QString &texte) override;
    QString choisirFichier(QFileDialog &dialogue) override;
    void pause(int ms) override;
    int heureDuJourMs() override;
    void bip() override;
    QString repertoireCourant() override;
    void terminer() override;

private:
    std::unique_ptr<SonBureau> son;   // made by the first beep
};
