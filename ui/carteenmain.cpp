#include "ui/carteenmain.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
// A press made within this time of the action's end may still be a repeat
// of the held key: it was waiting in the queue while the action ran.
constexpr qint64 margeFinAction = 100;

qint64 maintenant()
{
    static QElapsedTimer horloge;
    if (!horloge.isValid())
        horloge.start();
    return horloge.elapsed();
}

bool estEspace(const QKeyEvent *e)
{
    return (e->key() == Qt::Key_Space || e->key() == Qt::Key_Select) && !(e->modifiers() & ~Qt::KeypadModifier);
}
} // namespace

qint64 ToucheUnique::faite(const QKeyEvent *e)
{
    const qint64 heure = static_cast<qint64>(e->timestamp());
    const qint64 ici = maintenant() - heure;
    if (!ecartConnu || ici < ecart)
        ecart = ici;
    ecartConnu = true;
    return heure + ecart;
}

void ToucheUnique::appui(const QKeyEvent *e, const std::function<void()> &action)
{
    const qint64 quand = faite(e);
    if (e->isAutoRepeat())
        return;
    const unsigned long heure = e->timestamp();
    // Events made by programs carry no time (0): only a release tells.
    if (enfoncee) {
        const bool paireRepetee = relacheVue && heure != 0 && heure == heureRelache;
        const bool relacheePerdue = !relacheVue && quand > finAction + margeFinAction;
        if (paireRepetee || (!relacheVue && !relacheePerdue)) {
            relacheVue = false;
            return;
        }
    }
    enfoncee = true;
    relacheVue = false;
    action();
    finAction = maintenant();
}

void ToucheUnique::relache(const QKeyEvent *e)
{
    faite(e);
    if (e->isAutoRepeat())
        return;
    relacheVue = true;
    heureRelache = e->timestamp();
}

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

void CarteEnMain::keyReleaseEvent(QKeyEvent *e)
{
    if (estEspace(e))
        espace->relache(e);
    ImageCarte::keyReleaseEvent(e);
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
