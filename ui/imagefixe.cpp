#include "ui/imagefixe.h"

#include <QPaintEvent>
#include <QPainter>

ImageFixe::ImageFixe(QWidget *parent) : QWidget(parent)
{
    // The picture covers the component: nothing under it needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageFixe::setPixmap(const QPixmap &p)
{
    image = p;
    update();
}

void ImageFixe::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    if (image.isNull() || image.deviceIndependentSize().width() < width()
        || image.deviceIndependentSize().height() < height())
        p.fillRect(e->rect(), palette().window());
    if (!image.isNull())
        p.drawPixmap(0, 0, image);
}
