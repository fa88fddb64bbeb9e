// Writes the program's icon, as drawn by the game, into the PNG files the
// installation takes for desktop packaging: 16.png ... 256.png, one a size.
#include <QApplication>
#include <cstdio>
#include "tools/sortie.h"
#include "ui/images.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dossier = dossierDeSortie(argc, argv);
    if (dossier.isEmpty())
        return 2;
    for (int cote : taillesIcone) {
        const QString nom = QStringLiteral("%1/%2.png").arg(dossier).arg(cote);
        if (!imageIcone(cote).save(nom)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(nom));
            return 1;
        }
    }
    return 0;
}
