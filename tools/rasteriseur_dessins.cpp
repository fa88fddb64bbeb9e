// Build-time tool: draws the board and the splash at scales 1 and 2, and the
// icon at its six sizes, as raw pictures for the program to embed. The
// program then shows them without drawing a single grain of wood.
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>
#include "tools/sortie.h"
#include "ui/imagebrute.h"
#include "ui/images.h"

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString dossier = dossierDeSortie(argc, argv);
    if (dossier.isEmpty())
        return 2;
    // A face stood in for another would change the pictures without a word.
    bool faces = true;
    for (const FaceDessin &f : facesDessins) {
        if (!QFontDatabase::styles(QString::fromLatin1(f.famille)).contains(QString::fromLatin1(f.style))) {
            std::fprintf(stderr, "font face not installed: %s %s\n", f.famille, f.style);
            faces = false;
        }
    }
    if (!faces)
        return 1;
    bool ok = true;
    for (int echelle = 1; echelle <= 2; ++echelle) {
        const QString suffixe = echelle == 1 ? QString() : QStringLiteral("@2x");
        ok = ok && imagebrute::ecrire(dessinerPlateau(echelle), dossier + "/plateau" + suffixe + ".rgb");
        ok = ok && imagebrute::ecrire(dessinerSplash(echelle), dossier + "/splash" + suffixe + ".rgb");
    }
    for (int cote : taillesIcone) {
        const QImage icone = imageIcone(cote).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ok = ok && imagebrute::ecrire(icone, QStringLiteral("%1/icone-%2.argb").arg(dossier).arg(cote));
    }
    if (!ok) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
