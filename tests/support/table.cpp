#include "support/table.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>

Table::Table(bool montrer, const QString &dossierDonne)
{
    static bool styleFixe = false;
    if (!styleFixe) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        styleFixe = true;
    }
    plateforme = installerDouble();
    ancienDossier = QDir::currentPath();
    if (dossierDonne.isEmpty()) {
        temporaire = std::make_unique<QTemporaryDir>();
        dossier = temporaire->path();
    } else {
        dossier = dossierDonne;
    }
    QDir::setCurrent(dossier);
    fenetre = std::make_unique<Tprincipale>();
    if (montrer)
        fenetre->show();
}

Table::~Table()
{
    fenetre.reset();
    QDir::setCurrent(ancienDossier);
}

std::int64_t argentTotal(const GameState &g)
{
    std::int64_t total = 0;
    for (std::int32_t argent : g.tresor)
        total += argent;
    for (std::int32_t pot : g.cagnottes)
        total += pot;
    return total;
}

QString verifierCartes(const GameState &g)
{
    int vues[53] = {};
    for (const auto &main : g.mains)
        for (CardNumber n : main)
            if (n != 0) {
                if (n < 1 || n > 52)
                    return QStringLiteral("carte hors plage %1 dans une main").arg(n);
                ++vues[n];
            }
    for (CardNumber n : g.talon) {
        if (n < 1 || n > 52)
            return QStringLiteral("carte hors plage %1 dans le talon").arg(n);
        ++vues[n];
    }
    for (int n = 1; n <= 52; ++n)
        if (vues[n] > 1)
            return QStringLiteral("carte %1 vue %2 fois").arg(n).arg(vues[n]);
    return QString();
}
