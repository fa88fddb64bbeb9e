#pragma once
// A card image of the human's hand. The twelve make one keyboard stop: one
// card at a time takes Tab focus, Left and Right (Home and End) move the
// focus over the cards still shown, Space lays the focused card as a click
// does. Enter is left to the window, where it passes. The focused card draws
// a frame around the part of it that shows. The mouse never gives a hand
// card the focus: a player who only clicks never sees the frame.
#include <QElapsedTimer>
#include <QList>
#include <functional>
#include <memory>
#include "ui/imagecarte.h"

class QKeyEvent;

// A key held down acts once, however long it is held. Qt marks the presses
// the keyboard repeats, but X sends each repeat as a release and a press with
// the same time, and Qt's X plugin sees the pair only when both have arrived
// when it reads the release: on a busy machine the press comes a moment
// later, and both look like a real release and press. The pauses while the
// seats play also drop every key event, releases included. So a press acts
// only when the key was really let go since the last press: a release seen
// at another time than this press, or a press made after the last action
// ended (its release went to a pause or to a box that the action opened).
class ToucheUnique {
public:
    // Runs action for a real press, not for a repeat of a key still held.
    void appui(const QKeyEvent *e, const std::function<void()> &action);
    void relache(const QKeyEvent *e);

private:
    // When an event was made, on this program's clock: its time plus the
    // smallest gap seen between an event's time and its arrival here.
    qint64 faite(const QKeyEvent *e);

    bool enfoncee = false;      // a real press, and no release seen since
    bool relacheVue = false;
    unsigned long heureRelache = 0;
    qint64 finAction = 0;       // when the last action ended, on this program's clock
    qint64 ecart = 0;           // the smallest gap seen, once one is
    bool ecartConnu = false;
};

class CarteEnMain : public ImageCarte {
    Q_OBJECT
public:
    // The n cards of a hand, children of parent, slot 0 first.
    static QList<CarteEnMain *> creerMain(int n, QWidget *parent);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    using Main = QList<CarteEnMain *>;
    CarteEnMain(std::shared_ptr<Main> main, std::shared_ptr<ToucheUnique> espace, QWidget *parent);

    bool disponible() const;              // shown and enabled within the panel
    CarteEnMain *voisine(int pas) const;  // nearest available card that way, or null
    CarteEnMain *plusProche() const;      // nearest available card, right first
    void prendreLArret();                 // this card becomes the hand's Tab stop
    void garderLArret();                  // the stop stays on an available card
    int largeurVisible() const;           // up to the next card shown on its right

    std::shared_ptr<Main> main;
    // Space, shared by the hand: its release reaches the card that has the
    // focus once the pressed one is laid.
    std::shared_ptr<ToucheUnique> espace;
};
