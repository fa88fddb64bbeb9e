#include "ui/carteenmain.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

QList<CarteEnMain *> CarteEnMain::creerMain(int n, QWidget *parent)
{
    auto main = std::make_shared<Main>();
    auto espace = std::make_shared<ToucheUnique>();
    for (int k = 0; k < n; ++k)
        main->append(new CarteEnMain(main, espace, parent));
    if (!main->isEmpty())
        main->first()->prendreLArret();
    return *main;
}

CarteEnMain::CarteEnMain(std::shared_ptr<Main> m, std::shared_ptr<ToucheUnique> e, QWidget *parent)
    : ImageCarte(parent), main(std::move(m)), espace(std::move(e))
{
    setFocusPolicy(Qt::NoFocus);
}

bool CarteEnMain::disponible() const
{
    return !isHidden() && isEnabledTo(parentWidget());
}

CarteEnMain *CarteEnMain::voisine(int pas) const
{
    for (qsizetype k = main->indexOf(const_cast<CarteEnMain *>(this)) + pas; k >= 0 && k < main->size(); k += pas)
        if (main->at(k)->disponible())
            return main->at(k);
    return nullptr;
}

CarteEnMain *CarteEnMain::plusProche() const
{
    CarteEnMain *c = voisine(1);
    return c ? c : voisine(-1);
}

void CarteEnMain::prendreLArret()
{
    for (CarteEnMain *c : *main)
        c->setFocusPolicy(c == this ? Qt::TabFocus : Qt::NoFocus);
}

void CarteEnMain::garderLArret()
{
    CarteEnMain *arret = nullptr;
    for (CarteEnMain *c : *main)
        if (c->focusPolicy() != Qt::NoFocus)
            arret = c;
    if (arret && arret->disponible())
        return;
    CarteEnMain *autre = arret ? arret->plusProche() : nullptr;
    // No card left: the first one holds the stop for the next deal.
    (autre ? autre : main->first())->prendreLArret();
}

void CarteEnMain::setVisible(bool visible)
{
    ImageCarte::setVisible(visible);
    if (main)
        garderLArret();
}

void CarteEnMain::changeEvent(QEvent *e)
{
    ImageCarte::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        garderLArret();
}

bool CarteEnMain::focusNextPrevChild(bool next)
{
    // Qt asks the focused card to pass the focus on when it is laid (disabled
    // or hidden): the focus then stays in the hand, on the nearest card. Tab
    // on a card that is still there leaves the hand.
    if (!disponible()) {
        if (CarteEnMain *c = plusProche()) {
            c->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return ImageCarte::focusNextPrevChild(next);
}

void CarteEnMain::keyPressEvent(QKeyEvent *e)
{
    if (e->modifiers() & ~Qt::KeypadModifier) {
        ImageCarte::keyPressEvent(e);
        return;
    }
    CarteEnMain *cible = nullptr;
    switch (e->key()) {
    case Qt::Key_Left:
        cible = voisine(-1);
        break;
    case Qt::Key_Right:
        cible = voisine(1);
        break;
    case Qt::Key_Home:
        cible = main->first()->disponible() ? main->first() : main->first()->voisine(1);
        break;
    case Qt::Key_End:
        cible = main->last()->disponible() ? main->last() : main->last()->voisine(-1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Select:
        // A held key lays one card, not the next ones the focus moves to.
        espace->appui(e, [this] { emit clicked(); });
        return;
    default:
        ImageCarte::keyPressEvent(e);
        return;
    }
    if (cible && cible != this)
        cible->setFocus(Qt::OtherFocusReason);
}

void CarteEnMain::focusInEvent(QFocusEvent *e)
{
    ImageCarte::focusInEvent(e);
    prendreLArret();
    update();
}

void CarteEnMain::focusOutEvent(QFocusEvent *e)
{
    ImageCarte::focusOutEvent(e);
    update();
}

int CarteEnMain::largeurVisible() const
{
    for (qsizetype k = main->indexOf(const_cast<CarteEnMain *>(this)) + 1; k < main->size(); ++k)
        if (!main->at(k)->isHidden())
            return qBound(0, main->at(k)->x() - x(), width());
    return width();
}

void CarteEnMain::paintEvent(QPaintEvent *e)
{
    ImageCarte::paintEvent(e);
    if (!hasFocus() || carte() == 0)
        return;
    // A gold band between two dark lines: it stands out on the white card as
    // on the green table, and keeps clear of the card lying over this one.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto anneau = [&p](const QRectF &exterieur, qreal epaisseur, const QColor &couleur) {
        QPainterPath chemin;
        chemin.setFillRule(Qt::OddEvenFill);
        chemin.addRect(exterieur);
        chemin.addRect(exterieur.adjusted(epaisseur, epaisseur, -epaisseur, -epaisseur));
        p.fillPath(chemin, couleur);
    };
    const QRectF bord(0, 0, largeurVisible(), height());
    const QColor sombre(20, 20, 20);
    anneau(bord, 1, sombre);
    anneau(bord.adjusted(1, 1, -1, -1), 2, QColor(255, 200, 0));
    anneau(bord.adjusted(3, 3, -3, -3), 1, sombre);
}
