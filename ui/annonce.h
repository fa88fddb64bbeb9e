#pragma once
// What happens on the table, said to a screen reader: the cards the seats
// lay, the pots they take, a rank skipped, the turn coming back to the
// player, the player's own cards and claims.
//
// From Qt 6.8 a message is Qt's announcement event, which the screen reader
// speaks and brailles as a message of its own. Qt 6.4 has no such event, and
// its bridge to the Linux accessibility bus drops alerts and sends no text
// with a name change. What a screen reader does speak there is a
// notification becoming visible: the announcer is a small widget that
// paints nothing, takes no input and no focus, whose accessible role is a
// notification inside a status bar (so that the reader says the text
// without the word "notification"), and which is hidden and shown again for
// each message. The text is a label inside the notification, which is what
// the reader both speaks and brailles.
//
// A screen reader cuts its own speech for each new message, and the seats
// lay a card every half second. So sentences are gathered while the seats
// play and go out as one message when the player is to act; and a message
// never goes out before the previous one could be heard at a reader's usual
// rate: it waits, gathering what comes meanwhile. While a result window
// holds the table, or a box or file dialog holds the program, messages wait.
#include <QDeadlineTimer>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include "game/cartes.h"

class Annonce;

class Annonceur : public QWidget {
    Q_OBJECT
public:
    explicit Annonceur(QWidget *fenetre);

    // The table's events, gathered into the next message.
    void cartePosee(Seat s, CardNumber n);
    void cagnottePrise(Seat s, int pot, std::int32_t montant);
    void rangSaute(std::int32_t r);
    // The human's turn, with the rank needed or any card: what was gathered goes out.
    void aVous(std::int32_t dernierRang);

    // What was gathered goes out as one message, as soon as the previous
    // message could be heard; an event gathered before then holds it back
    // until the next publier().
    void publier();
    // A message the player asked for: out at once. What waits keeps
    // waiting, now for this message to be heard.
    void direMaintenant(const QString &texte);
    // The last message said, whether or not a reader was listening.
    const QString &dernierMessage() const { return dernier; }
    // While a result window holds the table, nothing goes out: the reader
    // is reading that window, and the flood of changes it brings would
    // drown a message. What the round's last turn did becomes a message of
    // its own, said once the table is given back.
    void suspendre(bool suspendu);
    // A new deal: what waits of the round before goes out first, as its
    // own message. A new game or a load: what waits is dropped, since it
    // tells of a table and money that are no longer there.
    void nouvelleDonne();
    void oublier();

    // Time a reader at its default rate (about 16 characters a second)
    // needs to say a message of the given length, with a margin.
    static int dureeDeLecture(qsizetype caracteres);
    // How long the reader speaks when a result window closes and the table
    // comes back, before a message may follow.
    static int dureeDuRetour();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void ajouter(const QString &phrase);
    void sortir();                          // the next message that waits
    void dire(const QString &texte);
    void clore(const QString &prefixe);     // the gathered sentences become a message
    void attendreAuPlusTard(int ms);        // nothing goes out for that long from now
    void attendreLaFermeture(QWidget *boite);

    Annonce *annonce;
    QStringList phrases;        // gathered since the last message
    QStringList messages;       // complete, waiting to go out in this order
    Seat poseur = 0;            // seat whose cards the last sentence lists, 0 when none
    bool apresCagnotte = false; // that sentence ends with the pot the seat took
    QTimer attente{this};       // until the previous message could be heard
    // When the previous message, or the table coming back after a result
    // window, can have been heard: no message goes out before.
    QDeadlineTimer entendu{0, Qt::PreciseTimer};
    QString dernier;
    int resteAEntendre() const;
    QPointer<QWidget> boite;    // the box or dialog a message waits on
    bool suspendu = false;
};

// Everything the table shows, in one text: the play zone and what is
// needed, the pots, the money, and the card counts when they are shown.
class Tprincipale;
QString decrireTable(const Tprincipale &f);
