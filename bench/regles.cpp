// Timing of the rules through the real main window, on Qt's offscreen
// platform with the platform double (pauses recorded, boxes answered):
// one deal (distribuerCartes and trierMains, which draws the hand), one
// human card (Image1Click), and whole games from "Nouvelle partie" to the
// end-of-game window, played by clicks on the real widgets.
//
//   banc_regles [--runs N]     prints "key=value" lines, one value per run
//   banc_regles --faces FILE   writes the 52 faces as the play zone shows them
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include "game/hasard.h"
#include "support/table.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"

namespace {

void laisserDetruire()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The play zone's picture of each card, 72 x 108, RGB: a zone filled with
// the table's green, then the card drawn on it, as the program does.
int ecrireFaces(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    QWidget fond;
    fond.resize(100, 140);
    ImageCarte zone(&fond);
    zone.setGeometry(0, 0, 72, 108);
    for (CardNumber n = 1; n <= 52; ++n) {
        zone.remplir(QColor(0, 128, 0));
        zone.dessinerCarte(n);
        const QImage im = zone.grab().toImage().convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < 108; ++y)
            f.write(reinterpret_cast<const char *>(im.constScanLine(y)), 72 * 3);
    }
    return 0;
}

void imprimer(const char *cle, const QList<double> &valeurs)
{
    std::printf("%s=", cle);
    for (int i = 0; i < valeurs.size(); ++i)
        std::printf("%s%.4f", i ? "," : "", valeurs[i]);
    std::printf("\n");
}

// One game from "Nouvelle partie" to the close of the end-of-game window:
// the human lays the leftmost playable card, claims every card that takes,
// passes when nothing can be laid. Returns the number of deals.
int jouerPartie(Tprincipale *f, DoublePlateforme *d, quint32 &graine)
{
    d->oublier();
    if (partieEnCours)
        d->reponses.enqueue(true);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    int donnes = 0;
    for (int evenements = 0; evenements < 100000; ++evenements) {
        if (finpartie) {
            QTest::mouseClick(finpartie->Button1, Qt::LeftButton);
            laisserDetruire();
            return donnes;
        }
        if (finmanche) {
            QTest::mouseClick(finmanche->Button1, Qt::LeftButton);
            laisserDetruire();
            continue;
        }
        if (f->Button2->isEnabled()) {
            graine = graine * 1103515245u + 12345u;
            d->heure = int(graine % (24u * 3600u * 1000u));
            QTest::mouseClick(f->Button2, Qt::LeftButton);
            ++donnes;
            continue;
        }
        int k = 0;
        while (k < tailleMain && !(etat.mains[0][k] != 0 && estJouable(etat.mains[0][k], etat.dernierRang)))
            ++k;
        if (k < tailleMain) {
            QTest::mouseClick(f->imagesMain[k], Qt::LeftButton, {}, QPoint(8, 35));
            if (f->Button5->isEnabled() && cagnotteDeCarte(etat.carteJouee) >= 0)
                QTest::mouseClick(f->Button5, Qt::LeftButton);
        } else if (f->Button4->isEnabled()) {
            QTest::mouseClick(f->Button4, Qt::LeftButton);
        } else {
            return -1;   // stuck: nothing to lay and no pass
        }
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--faces"))
        return ecrireFaces(args[2]);
    int runs = 7;
    if (args.size() == 3 && args[1] == QLatin1String("--runs"))
        runs = args[2].toInt();

    Table table;
    Tprincipale *f = table.fenetre.get();
    DoublePlateforme *d = table.plateforme;
    QElapsedTimer chrono;

    // Deals, each run its own seeds: the random deal, with or without the
    // sort and the drawing of the hand.
    constexpr int donnesParRun = 1000;
    auto donnes = [&](bool trier) {
        QList<double> temps;
        for (int r = 0; r < runs; ++r) {
            chrono.start();
            for (int i = 0; i < donnesParRun; ++i) {
                for (std::int32_t &c : etat.compteDonne)
                    c = 0;
                hasard.semer(std::uint32_t(r * donnesParRun + i) * 2654435761u);
                f->distribuerCartes();
                if (trier)
                    f->trierMains();
            }
            temps.append(double(chrono.nsecsElapsed()) / 1000.0 / donnesParRun);
        }
        return temps;
    };
    // One deal: the random deal and the sort with the drawing of the hand.
    imprimer("donne_us", donnes(true));
    // The random deal alone, to tell it from the sort and the drawing of the hand.
    imprimer("distribution_us", donnes(false));

    // One human card: a fresh deal led by the human (untimed), then the click
    // handler of the lowest card, which any card may follow at a deal's start.
    QList<double> carte;
    constexpr int cartesParRun = 100;
    for (int r = 0; r < runs; ++r) {
        qint64 total = 0;
        for (int i = 0; i < cartesParRun; ++i) {
            d->oublier();
            f->nouvellePartie();
            d->heure = (r * cartesParRun + i) * 7919 % (24 * 3600 * 1000);
            f->Button2Click();
            QCoreApplication::processEvents();
            chrono.start();
            f->Image1Click(f->Image1);
            total += chrono.nsecsElapsed();
            QCoreApplication::processEvents();   // the repaints it asked for, outside the timing
        }
        carte.append(double(total) / 1000.0 / cartesParRun);
    }
    imprimer("carte_us", carte);

    // Whole games through the real windows, pauses recorded.
    QList<double> partie, parSeconde;
    constexpr int partiesParRun = 3;
    quint32 graine = 12345;
    for (int r = 0; r < runs; ++r) {
        int donnes = 0;
        chrono.start();
        for (int i = 0; i < partiesParRun; ++i) {
            const int n = jouerPartie(f, d, graine);
            if (n < 0) {
                std::fprintf(stderr, "banc_regles: a game did not end\n");
                return 1;
            }
            donnes += n;
        }
        const double ms = double(chrono.nsecsElapsed()) / 1e6;
        partie.append(ms / partiesParRun);
        parSeconde.append(partiesParRun * 1000.0 / ms);
        if (r == 0)
            std::printf("donnes_par_partie=%.2f\n", double(donnes) / partiesParRun);
    }
    imprimer("partie_ms", partie);
    imprimer("parties_par_s", parSeconde);
    return 0;
}
