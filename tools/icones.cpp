// Writes the program's icon, as drawn by the game, into PNG files
// merlevert-16.png ... merlevert-256.png for desktop packaging.
#include <QApplication>
#include <cstdio>
#include "ui/images.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    for (int cote : {16, 32, 48, 64, 128, 256}) {
        const QString nom = QStringLiteral("%1/merlevert-%2.png").arg(dossier).arg(cote);
        if (!imageIcone(cote).save(nom)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(nom));
            return 1;
        }
    }
    return 0;
}
