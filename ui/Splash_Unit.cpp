#include "ui/Splash_Unit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include "ui/images.h"
#include "ui/style.h"

TSplash *Splash = nullptr;

TSplash::TSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QStringLiteral("Merle Vert"));
    setFixedSize(largeurSplash, hauteurSplash);
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, largeurSplash, hauteurSplash);
}

void TSplash::FormShow()
{
    // Centred on the whole desktop; div truncates toward zero.
    const QScreen *ecran = QGuiApplication::primaryScreen();
    const QRect bureau = ecran ? ecran->virtualGeometry() : QRect(0, 0, width(), height());
    move(style::centre(bureau, size()));
    Image1->setPixmap(imageSplash(devicePixelRatioF()));
}

void TSplash::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}
