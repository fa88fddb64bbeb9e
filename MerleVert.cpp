// The start-up: the main window, two seconds of splash, the help window
// (hidden), then the event loop until the player quits.
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <QStyleFactory>
#include <QTranslator>
#include "platform/plateforme.h"
#include "ui/Splash_Unit.h"
#include "ui/Unit1.h"
#include "ui/aide.h"

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
    Splash = new TSplash;
    Splash->show();
    // The window system must have mapped the splash before it can be painted;
    // user input stays queued meanwhile.
    QElapsedTimer attente;
    attente.start();
    while (!(Splash->windowHandle() && Splash->windowHandle()->isExposed()) && attente.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    Splash->repaint();
    plateforme().pause(2000);
    delete Splash;
    Splash = nullptr;
    Form2 = new TForm2(&fenetre);              // hidden until a help page is asked for
    fenetre.show();
    const int code = application.exec();
    delete Form2;
    return code;
}
