// The soak run: thousands of random games through the real windows, outside
// CTest, with the figures printed at the end. Usage: merle_soak [GAMES] [SEED]
// Exits with 1 when any check failed.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>
#include "support/pilote.h"

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int parties = args.size() > 1 ? args.at(1).toInt() : 20000;
    const quint32 graine = args.size() > 2 ? args.at(2).toUInt() : 20261208u;
    constexpr int partiesParTable = 50;

    QTextStream sortie(stdout);
    QElapsedTimer chrono;
    chrono.start();
    int jouees = 0, violations = 0, abandons = 0;
    qint64 evenements = 0, donnes = 0;
    for (int t = 0; jouees < parties; ++t) {
        Table table;
        Pilote joueur(table, graine + 7919u * quint32(t), Pilote::Errante);
        for (int i = 0; i < partiesParTable && jouees < parties; ++i) {
            const Pilote::Bilan bilan = joueur.jouerPartie();
            // What an event loop would do between two games: deliver the
            // posted events and delete what was handed to deleteLater().
            // Left queued, they pile up and each new one is compared with
            // the whole queue, which made long runs slower game after game.
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ++jouees;
            evenements += bilan.evenements;
            donnes += bilan.donnes;
            abandons += bilan.abandons;
            if (!bilan.erreur.isEmpty()) {
                ++violations;
                sortie << "VIOLATION table " << t << " (graine " << graine + 7919u * quint32(t) << "), partie " << i
                       << " : " << bilan.erreur << "\n";
                sortie.flush();
                break;   // the table is in an unknown state: a new one
            }
        }
        if (jouees % 1000 < partiesParTable) {
            sortie << jouees << " parties..." << "\n";
            sortie.flush();
        }
    }
    const double secondes = double(chrono.elapsed()) / 1000.0;
    sortie << "games: " << jouees << "\n"
           << "events: " << evenements << "\n"
           << "deals: " << donnes << "\n"
           << "new games over a game in progress: " << abandons << "\n"
           << "seconds: " << QString::number(secondes, 'f', 1) << "\n"
           << "violations: " << violations << "\n";
    sortie.flush();
    return violations == 0 ? 0 : 1;
}
