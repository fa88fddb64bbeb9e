#include "ui/imagecarte.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include "ui/images.h"

namespace {

// For assistive technology a card image is a picture, or a button when a
// click on it does something (the hand): a screen reader can then press it
// as the mouse does.
class AccesImageCarte : public QAccessibleWidget {
public:
    explicit AccesImageCarte(ImageCarte *i) : QAccessibleWidget(i, QAccessible::Graphic) {}

    QAccessible::Role role() const override
    {
        return cliquable() ? QAccessible::Button : QAccessible::Graphic;
    }

    QStringList actionNames() const override
    {
        return cliquable() && widget()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction() && cliquable() && widget()->isEnabled() && widget()->isVisible())
            emit static_cast<ImageCarte *>(widget())->clicked();
    }

private:
    bool cliquable() const
    {
        return static_cast<const ImageCarte *>(widget())->estCliquable();
    }
};

QAccessibleInterface *fabriqueImageCarte(const QString &classe, QObject *objet)
{
    if (classe == QLatin1String("ImageCarte") && objet && objet->isWidgetType())
        return new AccesImageCarte(static_cast<ImageCarte *>(objet));
    return nullptr;
}

} // namespace

ImageCarte::ImageCarte(QWidget *parent) : QWidget(parent)
{
    static const bool fabriqueInstallee = [] {
        QAccessible::installFactory(fabriqueImageCarte);
        return true;
    }();
    Q_UNUSED(fabriqueInstallee);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ImageCarte::dessinerCarte(CardNumber n)
{
    if (n < 1 || n > 52)
        return;   // no such entry in the card list: nothing is drawn
    carteDessinee = n;
    nommer();
    update();
}

void ImageCarte::remplir(const QColor &couleur)
{
    fond = couleur;
    zoneRemplie = QSize(qMax(width(), largeurCarte), qMax(height(), hauteurCarte));
    // A canvas filled with an opaque colour covers the whole component, and
    // cards drawn over it keep it covered: a repaint then leaves the parent
    // (a group box, costly to paint) alone.
    setOpaque(couleur.alpha() == 255);
    carteDessinee = 0;
    nommer();
    update();
}

void ImageCarte::setOpaque(bool opaque)
{
    if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque)
        setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

void ImageCarte::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    // A fill that no longer covers the component lets the parent show.
    if (!fond.isValid() || zoneRemplie.width() < width() || zoneRemplie.height() < height())
        setOpaque(false);
}

bool ImageCarte::estCliquable() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&ImageCarte::clicked));
}

void ImageCarte::setRole(const QString &r)
{
    roleFixe = r;
    nommer();
}

void ImageCarte::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    nommer();
}

void ImageCarte::nommer()
{
    // A hidden image shows no card: a laid card's slot must not still read
    // as that card. The strings are set only when they change, as every
    // change is announced to assistive technology.
    const QString carte = isHidden() ? QString() : nomCarte(carteDessinee);
    QString nom = roleFixe;
    if (!carte.isEmpty())
        nom = roleFixe.isEmpty() ? carte : roleFixe + QStringLiteral(" : ") + carte;
    if (nom != accessibleName())
        setAccessibleName(nom);
    if (nom != toolTip())
        setToolTip(nom);
}

void ImageCarte::paintEvent(QPaintEvent *)
{
    if (!fond.isValid() && carteDessinee == 0)
        return;
    QPainter p(this);
    if (fond.isValid())
        p.fillRect(QRect(QPoint(0, 0), zoneRemplie), fond);
    if (carteDessinee != 0)
        p.drawPixmap(0, 0, imageCarte(carteDessinee, devicePixelRatioF()));
}

void ImageCarte::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        appuye = true;
}

void ImageCarte::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && appuye) {
        appuye = false;
        if (rect().contains(e->position().toPoint()))
            emit clicked();
    }
}
