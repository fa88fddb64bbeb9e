#include "support/table.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTest>

namespace {

QtMessageHandler gestionnaireQt = nullptr;

void filtrerMessages(QtMsgType type, const QMessageLogContext &contexte, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    gestionnaireQt(type, contexte, message);
}

} // namespace

Table::Table(bool montrer, const QString &dossierDonne)
{
    static bool premiere = true;
    if (premiere) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        gestionnaireQt = qInstallMessageHandler(filtrerMessages);
        premiere = false;
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

void laisserDetruire()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SurTable::poserTable()
{
    table = std::make_unique<Table>();
    f = table->fenetre.get();
    d = table->plateforme;
    d->oublier();
}

void SurTable::leverTable()
{
    table.reset();
    laisserDetruire();
    f = nullptr;
    d = nullptr;
}

void viderLesMains(std::initializer_list<CardNumber> mainDuJoueur)
{
    for (int s = 0; s < nbSieges; ++s) {
        etat.tresor[s] = 1000;
        std::fill(std::begin(etat.mains[s]), std::end(etat.mains[s]), 0);
        etat.cartesRestantes[s] = 0;
    }
    std::copy(mainDuJoueur.begin(), mainDuJoueur.end(), etat.mains[0]);
    etat.cartesRestantes[0] = std::int32_t(mainDuJoueur.size());
    const CardNumber talon[4] = {5, 18, 33, 47};
    std::copy(std::begin(talon), std::end(talon), etat.talon);
    partieEnCours = true;
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

void deuxLignes(const char *colonne, const char *nom1, bool valeur1, const char *nom2, bool valeur2)
{
    QTest::addColumn<bool>(colonne);
    QTest::newRow(nom1) << valeur1;
    QTest::newRow(nom2) << valeur2;
}
