// The start-up: the main window, two seconds of splash with the table
// behind it, the help window (hidden), then the event loop until the player
// quits.
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <QStyleFactory>
#include <QTranslator>
#include "platform/plateforme.h"
#include "ui/Splash_Unit.h"
#include "ui/Unit1.h"
#include "ui/aide.h"

namespace {

// A window can be painted only once the window system has mapped it; user
// input stays queued meanwhile.
void attendreAffichage(QWidget *w)
{
    QElapsedTimer attente;
    attente.start();
    while (!(w->windowHandle() && w->windowHandle()->isExposed()) && attente.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Merle Vert"));
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QTranslator traductionQt;
    if (traductionQt.load(QStringLiteral(":/traductions/qtbase_fr.qm")))
        application.installTranslator(&traductionQt);
    installerPlateforme(new PlateformeReelle);

    Tprincipale fenetre;                       // reads the best score as it is created
    // The table's own window is made first, so that the splash, made after
    // it, stacks above it.
    fenetre.winId();
    Splash = new TSplash;
    Splash->show();
    attendreAffichage(Splash);
    Splash->repaint();
    // The table is laid out, drawn and put on screen behind the splash, so
    // that it is there, whole, the moment the splash goes.
    fenetre.show();
    attendreAffichage(&fenetre);
    fenetre.repaint();
    Splash->raise();
    plateforme().pause(2000);
    delete Splash;
    Splash = nullptr;
    Form2 = new TForm2(&fenetre);              // hidden until a help page is asked for
    const int code = application.exec();
    delete Form2;
    return code;
}
