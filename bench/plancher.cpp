// The floor of the benchmark: the least a Qt 6 Widgets program with the same
// controls as the game's table costs. A main window with a menu bar, 13
// seven-segment displays and 7 push buttons, at the game's stored geometry
// and shown maximised as the game's table is. No pictures, no game.
#include <QApplication>
#include <QLCDNumber>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QMainWindow fenetre;
    fenetre.setWindowTitle(QStringLiteral("Plancher"));
    fenetre.setGeometry(176, 92, 820, 621);
    QMenuBar *menus = fenetre.menuBar();
    for (const char *titre : {"&Fichier", "&Niveau", "&Aide"}) {
        QMenu *menu = menus->addMenu(QString::fromLatin1(titre));
        menu->addAction(QStringLiteral("&Un"));
        menu->addAction(QStringLiteral("&Deux"));
    }
    auto *centre = new QWidget;
    fenetre.setCentralWidget(centre);
    for (int i = 0; i < 13; ++i) {
        auto *a = new QLCDNumber(4, centre);
        a->setGeometry(24 + (i % 4) * 100, 24 + (i / 4) * 50, 89, 30);
        a->display(i * 150);
    }
    for (int i = 0; i < 7; ++i) {
        auto *b = new QPushButton(QStringLiteral("Bouton %1").arg(i + 1), centre);
        b->setGeometry(448, 296 + 30 * i, 145, 25);
    }
    fenetre.showMaximized();
    return application.exec();
}
