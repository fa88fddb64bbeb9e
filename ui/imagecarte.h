#pragma once
// An image component with its own drawing canvas: a card is drawn onto the
// canvas at (0, 0) and stays there until something is drawn over it; only the
// part that fits the component shows. A transparent image lets its parent
// show where nothing was drawn. Every card has the same size and outline, so
// the canvas is always a fill colour (or none) under the last card drawn (or
// none): that is all it keeps, and it is painted at the screen's resolution
// when shown.
// Its accessible name and tooltip name the card it shows ("Valet de trèfle"),
// after its role when it has one ("Zone de jeu : Valet de trèfle"); with no
// card, or hidden, they are the role alone, or empty.
#include <QColor>
#include <QSize>
#include <QWidget>
#include "game/cartes.h"

class ImageCarte : public QWidget {
    Q_OBJECT
public:
    explicit ImageCarte(QWidget *parent = nullptr);

    void dessinerCarte(CardNumber n);         // entry n - 1 of the card list at (0, 0)
    void remplir(const QColor &couleur);      // brush fill of the whole canvas
    CardNumber carte() const { return carteDessinee; }   // last card drawn, 0 when none
    // A fixed role that names the image with or without a card.
    void setRole(const QString &r);
    void setVisible(bool visible) override;
    bool estCliquable() const;               // something listens to its clicks

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void nommer();             // accessible name and tooltip from the role and the card

    void setOpaque(bool opaque);

    QColor fond;               // the fill of the canvas; invalid when none
    QSize zoneRemplie;         // the canvas the fill covered, in logical pixels
    CardNumber carteDessinee = 0;
    bool appuye = false;
    QString roleFixe;
};
