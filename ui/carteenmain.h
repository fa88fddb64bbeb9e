#pragma once
// A card image of the human's hand. The twelve make one keyboard stop: one
// card at a time takes Tab focus, Left and Right (Home and End) move the
// focus over the cards still shown, Space lays the focused card as a click
// does. Enter is left to the window, where it passes. The focused card draws
// a frame around the part of it that shows. The mouse never gives a hand
// card the focus: a player who only clicks never sees the frame.
#include <QList>
#include <memory>
#include "platform/touches.h"
#include "ui/imagecarte.h"

class CarteEnMain : public ImageCarte {
    Q_OBJECT
public:
    // The n cards of a hand, children of parent, slot 0 first.
    static QList<CarteEnMain *> creerMain(int n, QWidget *parent);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
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
    // Space, shared by the hand: held on one card, it lays no more once the
    // focus moves to the next.
    std::shared_ptr<ToucheUnique> espace;
};
