#include "support/hasardeux.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include "storage/meilleurscore.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"

namespace {

bool actif(const QWidget *w, const Tprincipale *f)
{
    return w->isEnabledTo(f->Panel1) && w->isVisibleTo(f->Panel1);
}

QByteArray lire(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<absent>");
    return fichier.readAll();
}

QByteArray octetsDe(const sauvegarde::Partie &p)
{
    QByteArray o;
    for (std::int32_t v : {p.tresor[0], p.tresor[1], p.tresor[2], p.tresor[3], p.premierJoueur, p.premierPrecedent,
                           p.niveau})
        o += QByteArray::number(v) + "\r\n";
    return o;
}

} // namespace

Hasardeux::Hasardeux(Table &t, quint32 graine)
    : table(t), hasardJoueur(graine), f(t.fenetre.get()), d(t.plateforme)
{
    totalAttendu = argentTotal(etat);
}

QString Hasardeux::evenement(const QString &nom, const std::function<void()> &action)
{
    journal.append(nom);
    if (journal.size() > 40)
        journal.removeFirst();
    ++compteurs[nom.section(QLatin1Char(' '), 0, 0)];
    action();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ++bilan.evenements;
    return verifier();
}

Hasardeux::Bilan Hasardeux::jouerPartie()
{
    bilan = Bilan{};
    d->oublier();
    d->questionsSansReponse = 0;
    QString erreur;
    for (;;) {
        if (d->boites.size() > 1000)
            d->oublier();
        if (bilan.evenements >= evenementsMax) {
            erreur = QStringLiteral("la partie ne finit pas après %1 événements").arg(bilan.evenements);
            break;
        }
        const bool fin = finpartie;
        erreur = choisirEtJouer();
        if (!erreur.isEmpty())
            break;
        if (fin && !finpartie)
            return bilan;   // the end-of-game window closed: one game complete
    }
    bilan.erreur = erreur + QStringLiteral("\n  derniers événements : ") + journal.join(QStringLiteral(" | "));
    return bilan;
}

QString Hasardeux::choisirEtJouer()
{
    const int r = int(hasardJoueur.bounded(1000));
    // The level menu is never locked, even under a result window.
    if (r < 8)
        return menuNiveau();
    if (finpartie)
        return fermerFinPartie();
    if (finmanche)
        return fermerFinManche();

    // Everything the table offers now, each with its weight.
    struct Choix {
        int poids;
        std::function<QString()> faire;
    };
    QList<Choix> choix;
    QList<int> visibles, jouables;
    for (int k = 0; k < tailleMain; ++k)
        if (f->imagesMain[k]->isVisibleTo(f->Panel1)) {
            visibles << k;
            if (f->imagesMain[k]->isEnabledTo(f->Panel1) && estJouable(etat.mains[0][k], etat.dernierRang))
                jouables << k;
        }
    if (!jouables.isEmpty())
        choix.append({500, [&] { return cliquerCarte(jouables.at(int(hasardJoueur.bounded(qsizetype(jouables.size()))))); }});
    if (!visibles.isEmpty())
        choix.append({40, [&] { return cliquerCarte(visibles.at(int(hasardJoueur.bounded(qsizetype(visibles.size()))))); }});
    if (actif(f->Button5, f))
        choix.append({cagnotteDeCarte(etat.carteJouee) >= 0 ? 300 : 15, [&] {
                          const int boites = d->boites.size();
                          const bool bonne = cagnotteDeCarte(etat.carteJouee) >= 0;
                          b5 = false;
                          QString e = evenement(QStringLiteral("réclamer"), [&] { QTest::mouseClick(f->Button5, Qt::LeftButton); });
                          if (e.isEmpty() && !bonne
                              && (d->boites.size() != boites + 1
                                  || d->boites.last().texte != QStringLiteral("Ce n'était pas une carte qui prenait")))
                              e = QStringLiteral("une mauvaise réclamation sans son message");
                          return e.isEmpty() ? verifierBoutons() : e;
                      }});
    if (actif(f->Button4, f))
        choix.append({jouables.isEmpty() ? 400 : 60, [&] {
                          b5 = false;
                          return evenement(QStringLiteral("passer"), [&] { QTest::mouseClick(f->Button4, Qt::LeftButton); });
                      }});
    if (actif(f->Button2, f))
        choix.append({enManche ? 20 : 400, [&] {
                          d->heure = int(hasardJoueur.bounded(24 * 3600 * 1000));
                          ++bilan.donnes;
                          b2 = b5 = b6 = niveaux = false;
                          QString e = evenement(QStringLiteral("distribuer"), [&] { QTest::mouseClick(f->Button2, Qt::LeftButton); });
                          if (!e.isEmpty())
                              return e;
                          return verifierBoutons();
                      }});
    choix.append({partieEnCours ? 3 : 300, [&] { return nouvellePartie(); }});
    if (actif(f->Button6, f))
        choix.append({15, [&] { return sauvegarder(); }});
    if (!enManche)
        choix.append({partieEnCours ? 6 : 40, [&] { return charger(); }});
    choix.append({4, [&] {
                      const int boites = d->boites.size();
                      const bool parMenu = hasardJoueur.bounded(2) == 0;
                      QString e = evenement(QStringLiteral("voir"), [&] {
                          if (parMenu)
                              f->Voir1->trigger();
                          else
                              QTest::mouseClick(f->Button7, Qt::LeftButton);
                      });
                      const QString attendu = meilleurNom + QStringLiteral(" a fini la partie avec : ") + meilleurScore
                          + QStringLiteral(" Euros");
                      if (e.isEmpty() && (d->boites.size() != boites + 1 || d->boites.last().texte != attendu))
                          e = QStringLiteral("le meilleur score n'a pas été montré");
                      return e;
                  }});
    choix.append({2, [&] {
                      QString e = evenement(QStringLiteral("effacer"), [&] { f->Effacer1->trigger(); });
                      if (e.isEmpty() && lire(table.dossier + QStringLiteral("/mv")) != QByteArray("Personne\r\n0\r\n"))
                          e = QStringLiteral("l'effacement n'a pas écrit le fichier mv");
                      return e;
                  }});
    choix.append({2, [&] { return quitterNon(hasardJoueur.bounded(2) == 0); }});

    int total = 0;
    for (const Choix &c : choix)
        total += c.poids;
    int tirage = int(hasardJoueur.bounded(total));
    for (const Choix &c : choix) {
        if (tirage < c.poids)
            return c.faire();
        tirage -= c.poids;
    }
    return QStringLiteral("aucun choix");
}

QString Hasardeux::cliquerCarte(int k)
{
    const CardNumber n = etat.mains[0][k];
    // Between rounds the cards left stay shown but cannot be clicked.
    const bool cliquable = f->imagesMain[k]->isEnabledTo(f->Panel1);
    const bool valide = cliquable && estJouable(n, etat.dernierRang);
    const GameState avant = etat;
    const int boites = d->boites.size();
    if (valide)
        b5 = true;
    QString e = evenement(QStringLiteral("carte %1").arg(n), [&] {
        QTest::mouseClick(f->imagesMain[k], Qt::LeftButton, {}, QPoint(8, 35));
    });
    if (!e.isEmpty())
        return e;
    if (!cliquable) {
        if (!(etat == avant) || d->boites.size() != boites)
            return QStringLiteral("une carte qui ne peut être cliquée a réagi");
    } else if (!valide) {
        if (!(etat == avant))
            return QStringLiteral("une carte refusée a changé le jeu");
        if (d->boites.size() != boites + 1 || d->boites.last().texte != QStringLiteral("La carte n'est pas valide"))
            return QStringLiteral("une carte refusée sans son message");
    } else if (etat.carteJouee != n && !mancheFinie) {
        return QStringLiteral("la carte %1 n'a pas été posée").arg(n);
    }
    return verifierBoutons();
}

QString Hasardeux::nouvellePartie()
{
    const bool question = partieEnCours;
    const bool oui = hasardJoueur.bounded(2) == 0;
    if (question)
        d->reponses.enqueue(oui);
    const GameState avant = etat;
    const bool parMenu = hasardJoueur.bounded(2) == 0;
    const int boites = d->boites.size();
    const bool commence = !question || oui;
    if (commence) {
        if (question)
            ++bilan.abandons;
        totalAttendu = 6000;
        b2 = niveaux = true;
    }
    QString e = evenement(QStringLiteral("nouvelle partie%1").arg(question ? (oui ? " (oui)" : " (non)") : ""), [&] {
        if (parMenu)
            f->NouvellePartie1->trigger();
        else
            QTest::mouseClick(f->Button1, Qt::LeftButton);
    });
    if (!e.isEmpty())
        return e;
    if (question
        && (d->boites.size() != boites + 1
            || d->boites.last() != Boite{Boite::Confirmation, QStringLiteral("Voulez-vraiement mettre les compteurs à 1500")}))
        return QStringLiteral("la nouvelle partie n'a pas posé sa question");
    if (!commence && !(etat == avant))
        return QStringLiteral("une nouvelle partie refusée a changé le jeu");
    if (commence)
        for (int s = 0; s < nbSieges; ++s)
            if (etat.tresor[s] != 1500)
                return QStringLiteral("la nouvelle partie ne donne pas 1500 à chacun");
    return verifierBoutons();
}

QString Hasardeux::sauvegarder()
{
    const QString noms[] = {QStringLiteral("partie1"), QStringLiteral("partie2.svgMv"), QStringLiteral("PARTIE3.SVGMV")};
    const int i = int(hasardJoueur.bounded(4));
    const QString choisi = i == 3 ? QString() : table.dossier + QLatin1Char('/') + noms[i];
    d->fichiers.enqueue(choisi);
    const bool parMenu = hasardJoueur.bounded(2) == 0;
    QHash<QString, QByteArray> avant;
    for (auto it = sauvees.cbegin(); it != sauvees.cend(); ++it)
        avant.insert(it.key(), lire(it.key()));
    QString e = evenement(QStringLiteral("sauvegarder %1").arg(i), [&] {
        if (parMenu)
            f->Sauvegarderunepartie1->trigger();
        else
            QTest::mouseClick(f->Button6, Qt::LeftButton);
    });
    if (!e.isEmpty())
        return e;
    const QString cible = choisi.isEmpty() ? QString() : sauvegarde::nomDeFichier(choisi);
    if (!cible.isEmpty()) {
        const sauvegarde::Partie p = sauvegarde::depuisEtat(etat);
        if (lire(cible) != octetsDe(p))
            return QStringLiteral("le fichier %1 ne tient pas la partie").arg(cible);
        sauvees.insert(cible, p);
    }
    for (auto it = avant.cbegin(); it != avant.cend(); ++it)
        if (it.key() != cible && lire(it.key()) != it.value())
            return QStringLiteral("la sauvegarde a touché %1").arg(it.key());
    return verifierBoutons();
}

QString Hasardeux::charger()
{
    const QStringList connus = sauvees.keys();
    QString choisi;
    if (!connus.isEmpty() && hasardJoueur.bounded(5) != 0) {
        QStringList tries = connus;
        tries.sort();
        choisi = tries.at(int(hasardJoueur.bounded(qsizetype(tries.size()))));
    }
    d->fichiers.enqueue(choisi);
    const GameState avant = etat;
    const bool parMenu = hasardJoueur.bounded(2) == 0;
    if (!choisi.isEmpty()) {
        const sauvegarde::Partie &p = sauvees[choisi];
        totalAttendu = 0;
        for (std::int32_t t : p.tresor)
            totalAttendu += t;
        b2 = niveaux = true;
    }
    QString e = evenement(choisi.isEmpty() ? QStringLiteral("charger annulé") : QStringLiteral("charger %1").arg(choisi.section(QLatin1Char('/'), -1)), [&] {
        if (parMenu)
            f->Chargerunepartie1->trigger();
        else
            QTest::mouseClick(f->Button3, Qt::LeftButton);
    });
    if (!e.isEmpty())
        return e;
    if (choisi.isEmpty()) {
        if (!(etat == avant))
            return QStringLiteral("un chargement annulé a changé le jeu");
    } else {
        const sauvegarde::Partie &p = sauvees[choisi];
        if (!(sauvegarde::depuisEtat(etat) == p) || f->partieTerminee || !partieEnCours)
            return QStringLiteral("le chargement n'a pas rendu la partie sauvée");
        for (std::int32_t pot : etat.cagnottes)
            if (pot != 0)
                return QStringLiteral("une cagnotte non vide après un chargement");
        if (f->Normal1->isChecked() != (p.niveau == 0) || f->Difficile1->isChecked() != (p.niveau == 1))
            return QStringLiteral("le niveau chargé n'est pas coché");
    }
    return verifierBoutons();
}

QString Hasardeux::menuNiveau()
{
    const bool difficile = hasardJoueur.bounded(2) == 0;
    const bool possible = f->Difficile1->isEnabled();
    QString e = evenement(difficile ? QStringLiteral("niveau difficile") : QStringLiteral("niveau ouvert"), [&] {
        const QRect titre = f->MainMenu1->actionGeometry(f->Niveau1->menuAction());
        QTest::mouseClick(f->MainMenu1, Qt::LeftButton, {}, titre.center());
        if (!f->Niveau1->isVisible())
            return;
        if (difficile && possible)
            QTest::mouseClick(f->Niveau1, Qt::LeftButton, {}, f->Niveau1->actionGeometry(f->Difficile1).center());
        if (f->Niveau1->isVisible())
            QTest::keyClick(f->Niveau1, Qt::Key_Escape);
    });
    if (!e.isEmpty())
        return e;
    const bool attenduDifficile = difficile && possible;
    if (f->Niveau1->isVisible() || f->Difficile1->isChecked() != attenduDifficile
        || f->Normal1->isChecked() == attenduDifficile || f->GroupBox6->isVisibleTo(f->Panel1) == attenduDifficile)
        return QStringLiteral("le menu Niveau n'a pas donné le niveau attendu");
    return QString();
}

QString Hasardeux::quitterNon(bool parMenu)
{
    d->reponses.enqueue(false);
    const GameState avant = etat;
    const int boites = d->boites.size();
    QString e = evenement(parMenu ? QStringLiteral("quitter non") : QStringLiteral("fermer non"), [&] {
        if (parMenu)
            f->Quitter1->trigger();
        else
            f->close();
    });
    if (!e.isEmpty())
        return e;
    if (d->boites.size() != boites + 1
        || d->boites.last() != Boite{Boite::Confirmation, QStringLiteral("Voulez-vous vraiement quitter ?")})
        return QStringLiteral("la question de fin n'a pas été posée");
    if (d->terminaisons != 0 || !f->isVisible() || !(etat == avant))
        return QStringLiteral("le programme a réagi à « Non »");
    return QString();
}

QString Hasardeux::fermerFinManche()
{
    const int maniere = int(hasardJoueur.bounded(3));
    QString e = evenement(QStringLiteral("fin de manche %1").arg(maniere), [&] {
        if (maniere == 0)
            QTest::mouseClick(finmanche->Button1, Qt::LeftButton);
        else if (maniere == 1)
            finmanche->close();
        else
            QTest::keyClick(finmanche, Qt::Key_Escape);
    });
    if (!e.isEmpty())
        return e;
    if (finmanche)
        return QStringLiteral("la fenêtre de fin de manche est restée");
    return QString();
}

QString Hasardeux::fermerFinPartie()
{
    const bool nom = finpartie->GroupBox2->isVisibleTo(finpartie);
    if (nom && hasardJoueur.bounded(2) == 0) {
        finpartie->Edit1->clear();
        QTest::keyClicks(finpartie->Edit1, QStringLiteral("Joueur %1").arg(hasardJoueur.bounded(100)));
    }
    const std::int32_t t0 = etat.tresor[0];
    if (nom && f->Difficile1->isChecked())
        totalAttendu += std::int64_t(montantFois(t0, 2)) - t0;
    const bool parOk = hasardJoueur.bounded(2) == 0;
    niveaux = true;
    QString e = evenement(parOk ? QStringLiteral("fin de partie OK") : QStringLiteral("fin de partie fermée"), [&] {
        if (parOk)
            QTest::mouseClick(finpartie->Button1, Qt::LeftButton);
        else
            finpartie->close();
    });
    if (!e.isEmpty())
        return e;
    if (finpartie)
        return QStringLiteral("la fenêtre de fin de partie est restée");
    return verifierBoutons();
}

QString Hasardeux::verifier()
{
    if (d->questionsSansReponse != 0)
        return QStringLiteral("une question inattendue : « %1 »").arg(d->boites.isEmpty() ? QString() : d->boites.last().texte);
    for (const Boite &b : std::as_const(d->boites))
        if (b.genre == Boite::Erreur)
            return QStringLiteral("erreur inattendue : « %1 »").arg(b.texte);

    const QString dernier = journal.isEmpty() ? QString() : journal.last();
    if (dernier == QStringLiteral("distribuer")) {
        donneFaite = true;
        if (f->partieTerminee) {
            // The stakes of a deal that bankruptcy stopped leave the table.
            totalAttendu -= 600;
            enManche = false;
        } else {
            enManche = true;
            std::fill(std::begin(presentes), std::end(presentes), true);
            std::fill(std::begin(sorties), std::end(sorties), false);
        }
    }

    if (donneFaite) {
        if (etat.dernierRang < 1 || etat.dernierRang > 13)
            return QStringLiteral("dernierRang %1").arg(etat.dernierRang);
        if (etat.nbPasses < 0 || etat.nbPasses > 3)
            return QStringLiteral("nbPasses %1").arg(etat.nbPasses);
        if (etat.premierJoueur < 1 || etat.premierJoueur > 4 || etat.premierPrecedent < 1 || etat.premierPrecedent > 4)
            return QStringLiteral("premierJoueur %1, premierPrecedent %2").arg(etat.premierJoueur).arg(etat.premierPrecedent);
    }
    if (etat.carteJouee < 1 || etat.carteJouee > 53)
        return QStringLiteral("carteJouee %1").arg(etat.carteJouee);
    if (etat.niveau != 0 && etat.niveau != 1)
        return QStringLiteral("niveau %1").arg(etat.niveau);

    if (argentTotal(etat) != totalAttendu)
        return QStringLiteral("argent + cagnottes = %1 au lieu de %2").arg(argentTotal(etat)).arg(totalAttendu);

    // A result window holds the lock, and only a result window does.
    const bool fenetre = finmanche || finpartie;
    if (f->Panel1->isEnabled() == fenetre || f->Fichier->menuAction()->isEnabled() == fenetre)
        return fenetre ? QStringLiteral("une fenêtre de résultat sans la table verrouillée")
                       : QStringLiteral("la table verrouillée sans fenêtre de résultat");
    if (finmanche && finpartie)
        return QStringLiteral("deux fenêtres de résultat à la fois");
    if (finmanche && !mancheFinie)
        return QStringLiteral("fenêtre de fin de manche sans manche finie");
    if (finpartie && (!f->partieTerminee || partieEnCours))
        return QStringLiteral("fenêtre de fin de partie sans partie terminée");
    if (!f->Niveau1->menuAction()->isEnabled() || !f->Aide1->menuAction()->isEnabled())
        return QStringLiteral("les menus Niveau et Aide ne sont plus accessibles");

    if (dernier.startsWith(QLatin1String("fin de manche")) && !finmanche) {
        // The round's window just closed: the round is over,
        // and its close swept the human's cards off the table.
        enManche = false;
        b5 = false;
        b6 = true;
        b2 = !f->partieTerminee;
    }
    if (QString e = verifierCartes(); !e.isEmpty())
        return e;
    return verifierBoutons();
}

QString Hasardeux::verifierCartes()
{
    if (!enManche)
        return QString();
    int vues[53] = {};
    bool maintenant[53] = {};
    for (int s = 0; s < nbSieges; ++s) {
        int tenues = 0;
        for (CardNumber n : etat.mains[s]) {
            if (n == 0)
                continue;
            if (n < 1 || n > 52)
                return QStringLiteral("carte %1 dans la main %2").arg(n).arg(s + 1);
            ++vues[n];
            ++tenues;
        }
        if (tenues != etat.cartesRestantes[s])
            return QStringLiteral("siège %1 : %2 cartes tenues, cartesRestantes %3").arg(s + 1).arg(tenues).arg(etat.cartesRestantes[s]);
    }
    for (CardNumber n : etat.talon) {
        if (n < 1 || n > 52)
            return QStringLiteral("carte %1 dans le talon").arg(n);
        ++vues[n];
    }
    for (int n = 1; n <= 52; ++n) {
        if (vues[n] > 1)
            return QStringLiteral("la carte %1 est %2 fois en jeu").arg(n).arg(vues[n]);
        maintenant[n] = vues[n] == 1;
        if (maintenant[n] && sorties[n])
            return QStringLiteral("la carte %1, déjà posée, est revenue").arg(n);
        if (!maintenant[n]) {
            if (!presentes[n] && !sorties[n])
                return QStringLiteral("la carte %1 n'existe plus").arg(n);
            sorties[n] = true;
        }
        presentes[n] = maintenant[n];
    }
    if (etat.carteJouee != aucuneCarte && !sorties[etat.carteJouee])
        return QStringLiteral("la carte jouée %1 est encore en main").arg(etat.carteJouee);
    // The hand shows what the human holds.
    if (!finmanche)
        for (int k = 0; k < tailleMain; ++k) {
            const CardNumber n = etat.mains[0][k];
            ImageCarte *image = f->imagesMain[k];
            if (image->isVisibleTo(f->Panel1) != (n != 0) || image->isEnabled() != (n != 0)
                || (n != 0 && image->carte() != n))
                return QStringLiteral("l'image %1 ne montre pas la carte %2").arg(k + 1).arg(n);
        }
    return QString();
}

QString Hasardeux::verifierBoutons()
{
    // Only with no result window: the lock is checked apart.
    if (finmanche || finpartie)
        return QString();
    const bool b4 = enManche && etat.dernierRang != 13;
    QStringList faux;
    if (actif(f->Button2, f) != b2)
        faux << QStringLiteral("Distribuer %1").arg(b2);
    if (actif(f->Button4, f) != b4)
        faux << QStringLiteral("passe %1").arg(b4);
    if (actif(f->Button5, f) != b5)
        faux << QStringLiteral("Carte qui prend %1").arg(b5);
    if (actif(f->Button6, f) != b6 || f->Sauvegarderunepartie1->isEnabled() != b6)
        faux << QStringLiteral("sauvegarde %1").arg(b6);
    if (f->Normal1->isEnabled() != niveaux || f->Difficile1->isEnabled() != niveaux)
        faux << QStringLiteral("niveaux %1").arg(niveaux);
    if (!actif(f->Button1, f) || !actif(f->Button3, f) || !actif(f->Button7, f))
        faux << QStringLiteral("Nouvelle partie, Charger ou Meilleur Score");
    if (!enManche)
        for (ImageCarte *image : f->imagesMain)
            if (actif(image, f)) {
                faux << QStringLiteral("main cliquable hors manche");
                break;
            }
    if (faux.isEmpty())
        return QString();
    return QStringLiteral("états faux : ") + faux.join(QStringLiteral(", "));
}
