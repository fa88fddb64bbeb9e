#include "support/pilote.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include "storage/meilleurscore.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"

namespace {

void laisserDetruire()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A widget inside Panel1 that its own state, not the panel's, enables.
bool actif(const QWidget *w, const Tprincipale *f)
{
    return w->isEnabledTo(f->Panel1) && w->isVisibleTo(f->Panel1);
}

QString messagePenalite(CardNumber n)
{
    switch (n) {
    case 23: return QStringLiteral("Vous aviez le 10 qui prend");
    case 20: return QStringLiteral("Vous aviez le 7 qui prend");
    case 39: return QStringLiteral("Vous aviez le roi qui prend");
    case 11: return QStringLiteral("Vous aviez le valet qui prend");
    case 51: return QStringLiteral("Vous aviez la dame qui prend");
    }
    return QString();
}

bool prend(CardNumber n)
{
    return cagnotteDeCarte(n) >= 0;
}

} // namespace

Pilote::Pilote(Table &t, quint32 graine)
    : table(t), hasardPilote(graine), f(t.fenetre.get()), d(t.plateforme)
{
}

void Pilote::noter(const QString &nom)
{
    journal.append(nom);
    if (journal.size() > 40)
        journal.removeFirst();
}

QByteArray Pilote::lireFichierScore() const
{
    QFile fichier(table.dossier + QStringLiteral("/mv"));
    if (!fichier.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<absent>");
    return fichier.readAll();
}

QString Pilote::evenement(const QString &nom, const std::function<void()> &action)
{
    std::copy(&etat.mains[0][0], &etat.mains[0][0] + nbSieges * tailleMain, &mainsAvant[0][0]);
    noter(nom);
    action();
    laisserDetruire();
    ++bilan.evenements;
    QString erreur = verifier();
    if (erreur.isEmpty() && aChaqueEvenement)
        erreur = aChaqueEvenement(*this, nom);
    return erreur;
}

Pilote::Bilan Pilote::jouerPartie()
{
    bilan = Bilan{};
    d->oublier();
    d->questionsSansReponse = 0;
    fichierScore = lireFichierScore();
    // Before the new game the table holds what the last game left.
    totalAttendu = argentTotal(etat);
    donneEnCours = false;
    mainVideeParFin = false;
    QString erreur;
    auto echec = [&](const QString &e) {
        bilan.erreur = e + QStringLiteral("\n  derniers événements : ") + journal.join(QStringLiteral(" | "));
        return bilan;
    };

    // The level, through the "Niveau" menu: opening it sets "Normal".
    bilan.difficile = int(hasardPilote.bounded(100)) < chanceDifficile;
    erreur = evenement(QStringLiteral("menu Niveau"), [&] {
        const QRect titre = f->MainMenu1->actionGeometry(f->Niveau1->menuAction());
        QTest::mouseClick(f->MainMenu1, Qt::LeftButton, {}, titre.center());
        if (!f->Niveau1->isVisible())
            return;
        if (bilan.difficile)
            QTest::mouseClick(f->Niveau1, Qt::LeftButton, {}, f->Niveau1->actionGeometry(f->Difficile1).center());
        else
            QTest::keyClick(f->Niveau1, Qt::Key_Escape);
    });
    if (erreur.isEmpty() && (f->Niveau1->isVisible() || f->Difficile1->isChecked() != bilan.difficile))
        erreur = QStringLiteral("le menu Niveau n'a pas choisi le niveau");
    if (!erreur.isEmpty())
        return echec(erreur);

    if (partieEnCours)
        d->reponses.enqueue(true);
    totalAttendu = 6000;
    erreur = evenement(QStringLiteral("Nouvelle partie"), [&] { QTest::mouseClick(f->Button1, Qt::LeftButton); });
    if (erreur.isEmpty() && (!partieEnCours || f->partieTerminee || !actif(f->Button2, f)))
        erreur = QStringLiteral("la nouvelle partie n'a pas commencé");
    for (int s = 0; s < nbSieges && erreur.isEmpty(); ++s)
        if (etat.tresor[s] != 1500)
            erreur = QStringLiteral("la nouvelle partie ne donne pas 1500 à chacun");

    while (erreur.isEmpty()) {
        if (d->boites.size() > 1000)
            d->oublier();
        if (bilan.evenements >= evenementsMax)
            return echec(QStringLiteral("la partie ne finit pas après %1 événements").arg(bilan.evenements));
        if (finpartie) {
            erreur = fermerFinPartie();
            if (erreur.isEmpty())
                return bilan;
        } else if (finmanche) {
            erreur = fermerFinManche();
        } else if (actif(f->Button2, f) && f->Panel1->isEnabled()) {
            // Each deal its own time of day, so each deal its own cards.
            d->heure = int(hasardPilote.bounded(24 * 3600 * 1000));
            erreur = evenement(QStringLiteral("Distribuer"), [&] { QTest::mouseClick(f->Button2, Qt::LeftButton); });
            ++bilan.donnes;
        } else {
            erreur = tourDuJoueur();
        }
    }
    return echec(erreur);
}

QString Pilote::tourDuJoueur()
{
    if (!f->Panel1->isEnabled())
        return QStringLiteral("le panneau est verrouillé sans fenêtre ouverte");
    QList<int> jouables, autres;
    for (int k = 0; k < tailleMain; ++k) {
        if (!actif(f->imagesMain[k], f))
            continue;
        if (etat.mains[0][k] == 0)
            return QStringLiteral("l'image %1 est cliquable sur une case vide").arg(k + 1);
        (estJouable(etat.mains[0][k], etat.dernierRang) ? jouables : autres).append(k);
    }
    const bool passe = actif(f->Button4, f);
    const bool reclamer = actif(f->Button5, f);
    const int r = int(hasardPilote.bounded(100));

    auto cliquerCarte = [&](int k) {
        const CardNumber n = etat.mains[0][k];
        const bool valide = estJouable(n, etat.dernierRang);
        const GameState avant = etat;
        const int boites = d->boites.size();
        QString e = evenement(QStringLiteral("carte %1 (case %2)").arg(n).arg(k), [&] {
            QTest::mouseClick(f->imagesMain[k], Qt::LeftButton, {}, QPoint(8, 35));
        });
        if (!e.isEmpty())
            return e;
        if (!valide) {
            if (!(etat == avant))
                return QStringLiteral("une carte refusée a changé le jeu");
            if (d->boites.size() != boites + 1 || d->boites.last().texte != QStringLiteral("La carte n'est pas valide"))
                return QStringLiteral("une carte refusée sans son message");
        } else if (etat.carteJouee != n || etat.mains[0][k] != 0) {
            return QStringLiteral("la carte %1 n'a pas été posée").arg(n);
        } else if (etat.cartesRestantes[0] == 0) {
            // The last card: a card that takes is claimed at once, with its box.
            const bool boite = d->boites.size() == boites + 1
                && d->boites.last() == Boite{Boite::Simple, QStringLiteral("Vous avez les points de la carte qui prenair")};
            if (boite != prend(n) || d->boites.size() > boites + 1)
                return QStringLiteral("dernière carte %1 : boîtes %2").arg(n).arg(d->boites.size() - boites);
            if (prend(n) && etat.cagnottes[cagnotteDeCarte(n)] != 0)
                return QStringLiteral("la cagnotte de la dernière carte n'a pas été prise");
        }
        return QString();
    };

    if (reclamer && (prend(etat.carteJouee) ? r < 75 : r < 3)) {
        const bool bonne = prend(etat.carteJouee);
        const int pot = cagnotteDeCarte(etat.carteJouee);
        const std::int32_t attendu = bonne ? montantPlus(etat.tresor[0], etat.cagnottes[pot]) : etat.tresor[0];
        const int boites = d->boites.size();
        QString e = evenement(QStringLiteral("Carte qui prend"), [&] { QTest::mouseClick(f->Button5, Qt::LeftButton); });
        if (!e.isEmpty())
            return e;
        if (etat.tresor[0] != attendu || (bonne && etat.cagnottes[pot] != 0))
            return QStringLiteral("la cagnotte réclamée n'est pas allée au joueur");
        if (!bonne && (d->boites.size() != boites + 1
                       || d->boites.last().texte != QStringLiteral("Ce n'était pas une carte qui prenait")))
            return QStringLiteral("une mauvaise réclamation sans son message");
        if (actif(f->Button5, f))
            return QStringLiteral("\"Carte qui prend\" reste actif après la réclamation");
        return QString();
    }
    if (!jouables.isEmpty() && r < 85)
        return cliquerCarte(jouables.at(int(hasardPilote.bounded(qsizetype(jouables.size())))));
    if (!autres.isEmpty() && r < 88)
        return cliquerCarte(autres.at(int(hasardPilote.bounded(qsizetype(autres.size())))));
    if (r < 89) {
        const int boites = d->boites.size();
        QString e = evenement(QStringLiteral("Meilleur Score"), [&] { QTest::mouseClick(f->Button7, Qt::LeftButton); });
        if (e.isEmpty() && d->boites.size() != boites + 1)
            e = QStringLiteral("\"Meilleur Score\" n'a rien montré");
        return e;
    }
    if (passe)
        return evenement(QStringLiteral("%1").arg(f->Button4->text()), [&] {
            QTest::mouseClick(f->Button4, Qt::LeftButton);
        });
    if (!jouables.isEmpty())
        return cliquerCarte(jouables.first());
    return QStringLiteral("c'est au joueur, mais il n'a ni carte jouable ni passe");
}

QString Pilote::fermerFinManche()
{
    ++bilan.manches;
    // The round is frozen: a click on the table changes nothing.
    if (hasardPilote.bounded(10) == 0) {
        const GameState avant = etat;
        const int boites = d->boites.size();
        QString e = evenement(QStringLiteral("clic sur la table figée"), [&] {
            QWidget *cibles[] = {f->Button1, f->Button2, f->Button4, f->Button5, f->Button7, f->imagesMain[0]};
            QWidget *cible = cibles[hasardPilote.bounded(int(std::size(cibles)))];
            QTest::mouseClick(cible, Qt::LeftButton, {}, QPoint(8, 8));
        });
        if (!e.isEmpty())
            return e;
        if (!(etat == avant) || d->boites.size() != boites)
            return QStringLiteral("la table a réagi pendant la fenêtre de fin de manche");
    }

    QStringList penalites;
    for (CardNumber n : etat.mains[0])
        if (prend(n))
            penalites << messagePenalite(n);
    const int boites = d->boites.size();
    const int maniere = int(hasardPilote.bounded(3));
    QString e = evenement(QStringLiteral("fermer la fin de manche (%1)").arg(maniere), [&] {
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
    QStringList vues;
    for (int i = boites; i < d->boites.size(); ++i)
        if (d->boites.at(i).genre == Boite::Information)
            vues << d->boites.at(i).texte;
    if (vues != penalites)
        return QStringLiteral("pénalités montrées [%1], attendues [%2]").arg(vues.join(','), penalites.join(','));
    if (!finpartie) {
        // Between rounds: deal and save, no pass, no claim, no hand.
        if (!actif(f->Button2, f) || actif(f->Button4, f) || actif(f->Button5, f) || !actif(f->Button6, f)
            || !f->Sauvegarderunepartie1->isEnabled())
            return QStringLiteral("boutons faux entre deux manches");
        for (ImageCarte *image : f->imagesMain)
            if (image->isEnabledTo(f->Panel1))
                return QStringLiteral("main cliquable entre deux manches");
    } else if (actif(f->Button2, f) || !actif(f->Button6, f)) {
        return QStringLiteral("boutons faux après une fin de manche qui finit la partie");
    }
    return QString();
}

QString Pilote::fermerFinPartie()
{
    const bool nom = finpartie->GroupBox2->isVisibleTo(finpartie);
    QString texteNom = QStringLiteral("Edit1");
    if (nom) {
        const QString noms[] = {QStringLiteral("Edit1"), QString(), QStringLiteral("Zoé"),
                                QStringLiteral("Jean-François"), QStringLiteral("ABC %1").arg(bilan.donnes)};
        texteNom = noms[hasardPilote.bounded(int(std::size(noms)))];
        if (texteNom != QStringLiteral("Edit1")) {
            finpartie->Edit1->selectAll();
            QTest::keyClick(finpartie->Edit1, Qt::Key_Delete);
            // Typed key by key; QTest's own typing knows only ASCII.
            for (const QChar c : std::as_const(texteNom))
                QTest::sendKeyEvent(QTest::Click, finpartie->Edit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    std::int32_t argent = etat.tresor[0];
    if (nom && f->Difficile1->isChecked())
        argent = montantFois(argent, 2);
    const std::int64_t score = std::int64_t(etat.niveau) * 1000 + argent;
    const std::int64_t total = argentTotal(etat) - etat.tresor[0] + argent;

    // A record at "Difficile" doubles the human's money in the state.
    totalAttendu = total;
    recordEnCours = nom;
    const bool parOk = hasardPilote.bounded(2) == 0;
    QString e = evenement(parOk ? QStringLiteral("OK de fin de partie") : QStringLiteral("fermer la fin de partie"), [&] {
        if (parOk)
            QTest::mouseClick(finpartie->Button1, Qt::LeftButton);
        else
            finpartie->close();
    });
    recordEnCours = false;
    if (!e.isEmpty())
        return e;
    if (finpartie)
        return QStringLiteral("la fenêtre de fin de partie est restée");
    if (!f->Panel1->isEnabled() || !f->Fichier->menuAction()->isEnabled())
        return QStringLiteral("la table reste verrouillée après la fin de partie");
    if (actif(f->Button2, f))
        return QStringLiteral("\"Distribuer\" est actif après la fin de partie");
    if (!f->Normal1->isEnabled() || !f->Difficile1->isEnabled())
        return QStringLiteral("le niveau ne peut pas être choisi après la fin de partie");
    if (etat.tresor[0] != argent || argentTotal(etat) != total)
        return QStringLiteral("l'argent a bougé à la fin de partie");
    if (nom) {
        bilan.record = true;
        const QByteArray attendu = texteNom.toLatin1() + "\r\n" + QByteArray::number(score) + "\r\n";
        fichierScore = lireFichierScore();
        if (fichierScore != attendu)
            return QStringLiteral("fichier mv « %1 », attendu « %2 »")
                .arg(QString::fromLatin1(fichierScore), QString::fromLatin1(attendu));
        if (meilleurNom != texteNom || meilleurScore != QString::number(score))
            return QStringLiteral("le meilleur score en mémoire n'est pas celui écrit");
    } else if (lireFichierScore() != fichierScore) {
        return QStringLiteral("le fichier mv a changé sans record");
    }
    return QString();
}

QString Pilote::verifier()
{
    if (d->questionsSansReponse != 0)
        return QStringLiteral("une question inattendue : « %1 »").arg(d->boites.isEmpty() ? QString() : d->boites.last().texte);
    for (const Boite &b : std::as_const(d->boites))
        if (b.genre == Boite::Erreur)
            return QStringLiteral("erreur inattendue : « %1 »").arg(b.texte);

    // Ranges, once the table has seen a deal or a new game.
    if (donneEnCours && (etat.dernierRang < 1 || etat.dernierRang > 13))
        return QStringLiteral("dernierRang %1").arg(etat.dernierRang);
    if (donneEnCours && (etat.nbPasses < 0 || etat.nbPasses > 3))
        return QStringLiteral("nbPasses %1").arg(etat.nbPasses);
    if (etat.carteJouee < 1 || etat.carteJouee > 53)
        return QStringLiteral("carteJouee %1").arg(etat.carteJouee);
    if ((partieEnCours || donneEnCours)
        && (etat.premierJoueur < 1 || etat.premierJoueur > 4 || etat.premierJoueur != etat.premierPrecedent))
        return QStringLiteral("premierJoueur %1, premierPrecedent %2").arg(etat.premierJoueur).arg(etat.premierPrecedent);

    // Money only moves between seats and pots, except for the stakes of a
    // deal that bankruptcy stopped: taken from the seats, not put in the pots.
    if (!journal.isEmpty() && journal.last() == QStringLiteral("Distribuer") && f->partieTerminee) {
        bilan.ruineALaDonne = true;
        totalAttendu -= 600;
    }
    if (argentTotal(etat) != totalAttendu)
        return QStringLiteral("argent + cagnottes = %1 au lieu de %2").arg(argentTotal(etat)).arg(totalAttendu);

    // The best-score file changes only through a record.
    if (!recordEnCours && lireFichierScore() != fichierScore)
        return QStringLiteral("le fichier mv a changé hors d'un record");

    // The lock of the result windows.
    const bool fenetre = finmanche || finpartie;
    if (f->Panel1->isEnabled() == fenetre || f->Fichier->menuAction()->isEnabled() == fenetre)
        return fenetre ? QStringLiteral("la table n'est pas verrouillée sous une fenêtre de résultat")
                       : QStringLiteral("la table est verrouillée sans fenêtre de résultat");
    if (!f->Niveau1->menuAction()->isEnabled() || !f->Aide1->menuAction()->isEnabled())
        return QStringLiteral("les menus Niveau et Aide ne sont plus accessibles");
    if (finmanche && !mancheFinie)
        return QStringLiteral("fenêtre de fin de manche sans manche finie");
    if (finpartie && (!f->partieTerminee || partieEnCours || actif(f->Button2, f)))
        return QStringLiteral("fenêtre de fin de partie sans partie terminée");

    QString e = verifierCartes();
    if (e.isEmpty())
        e = verifierAffichages();
    if (e.isEmpty() && finmanche && finmanche != mancheVerifiee)
        e = verifierReglement();
    return e;
}

QString Pilote::verifierReglement()
{
    // A round just settled: the window's amounts against the hands.
    mancheVerifiee = finmanche;
    Seat gagnant = 0;
    for (Seat s = 1; s <= nbSieges; ++s)
        if (etat.cartesRestantes[s - 1] == 0 && gagnant == 0)
            gagnant = s;
    if (gagnant == 0)
        return QStringLiteral("fin de manche sans main vide");
    QLabel *lignes[3] = {finmanche->Label2, finmanche->Label3, finmanche->Label4};
    int i = 0;
    for (Seat s = 1; s <= nbSieges; ++s) {
        if (s == gagnant)
            continue;
        std::int32_t points = 0;
        for (CardNumber n : etat.mains[s - 1])
            points += rang(n);
        if (!lignes[i]->text().endsWith(QLatin1Char(' ') + QString::number(10 * points)))
            return QStringLiteral("« %1 » pour %2 points").arg(lignes[i]->text()).arg(points);
        ++i;
    }
    if (!finmanche->Label5->text().endsWith(QLatin1Char(' ') + QString::number(etat.tresor[gagnant - 1])))
        return QStringLiteral("« %1 » pour %2").arg(finmanche->Label5->text()).arg(etat.tresor[gagnant - 1]);
    if (finmanche->windowTitle() != (gagnant == 1 ? QStringLiteral("GAGNER !!!") : QStringLiteral("Perdu !!!")))
        return QStringLiteral("titre « %1 » pour le siège %2").arg(finmanche->windowTitle()).arg(gagnant);
    return QString();
}

QString Pilote::verifierCartes()
{
    const QString journalDeDonne = journal.isEmpty() ? QString() : journal.last();
    const bool donne = journalDeDonne == QStringLiteral("Distribuer") && !f->partieTerminee;
    if (donne) {
        std::fill(std::begin(jouees), std::end(jouees), false);
        std::fill(std::begin(retirees), std::end(retirees), false);
        donneEnCours = true;
        mainVideeParFin = false;
        if (const QString e = ::verifierCartes(etat); !e.isEmpty())
            return e;
        // A computer seat that leads plays within the deal's click: what is
        // missing from the hands was laid.
        int presentes[53] = {};
        for (const auto &main : etat.mains)
            for (CardNumber n : main)
                ++presentes[n];
        for (CardNumber n : etat.talon)
            ++presentes[n];
        int posees = 0;
        for (int n = 1; n <= 52; ++n)
            if (!presentes[n]) {
                jouees[n] = true;
                ++posees;
            }
        int restantes = 0;
        for (std::int32_t c : etat.cartesRestantes)
            restantes += c;
        if (restantes + posees != 48)
            return QStringLiteral("donne : %1 cartes en main et %2 posées").arg(restantes).arg(posees);
        if (etat.premierJoueur == 1 && posees != 0)
            return QStringLiteral("un ordinateur a joué avant le joueur qui mène");
        if (f->Normal1->isEnabled() || f->Difficile1->isEnabled() || f->Sauvegarderunepartie1->isEnabled()
            || actif(f->Button6, f) || (actif(f->Button2, f) && !finmanche))
            return QStringLiteral("niveau, sauvegarde ou donne encore possibles pendant la manche");
        return QString();
    }
    if (!donneEnCours)
        return QString();
    // The close of a round empties the human's slots.
    if (mancheFinie && !finmanche)
        mainVideeParFin = true;
    // Outside a deal, cards only leave the hands: laid, or the human's swept
    // away by that close.
    for (int s = 0; s < nbSieges; ++s)
        for (int k = 0; k < tailleMain; ++k) {
            const CardNumber avant = mainsAvant[s][k];
            const CardNumber apres = etat.mains[s][k];
            if (apres != avant && apres != 0)
                return QStringLiteral("la case %1 du siège %2 est passée de %3 à %4").arg(k).arg(s + 1).arg(avant).arg(apres);
            if (avant != 0 && apres == 0) {
                if (jouees[avant] || retirees[avant])
                    return QStringLiteral("la carte %1 est sortie deux fois").arg(avant);
                (s > 0 || etat.carteJouee == avant ? jouees : retirees)[avant] = true;
            }
        }
    int vues[53] = {};
    for (const auto &main : etat.mains)
        for (CardNumber n : main)
            ++vues[n];
    for (CardNumber n : etat.talon)
        ++vues[n];
    for (int n = 1; n <= 52; ++n) {
        const int fois = vues[n] + (jouees[n] ? 1 : 0) + (retirees[n] ? 1 : 0);
        if (fois != 1)
            return QStringLiteral("la carte %1 existe %2 fois").arg(n).arg(fois);
        if (retirees[n] && !mainVideeParFin)
            return QStringLiteral("la carte %1 a quitté une main sans être jouée").arg(n);
    }
    for (int s = 0; s < nbSieges; ++s) {
        if (s == 0 && mainVideeParFin)
            continue;
        const int restantes = tailleMain - int(std::count(std::begin(etat.mains[s]), std::end(etat.mains[s]), 0));
        if (restantes != etat.cartesRestantes[s])
            return QStringLiteral("siège %1 : %2 cartes en main, cartesRestantes %3")
                .arg(s + 1)
                .arg(restantes)
                .arg(etat.cartesRestantes[s]);
    }
    return QString();
}

QString Pilote::verifierAffichages()
{
    for (int p = 0; p < nbCagnottes; ++p)
        if (f->afficheurCagnotte(p)->texte() != QString::number(etat.cagnottes[p]))
            return QStringLiteral("la cagnotte %1 affiche %2 au lieu de %3")
                .arg(p)
                .arg(f->afficheurCagnotte(p)->texte())
                .arg(etat.cagnottes[p]);
    // The settlement leaves the money displays to the close of its window,
    // and a record at "Difficile" doubles the money without showing it.
    if (!finmanche && !(f->partieTerminee && !finpartie))
        for (int s = 0; s < nbSieges; ++s)
            if (f->affichagesTresor[s]->texte() != QString::number(etat.tresor[s]))
                return QStringLiteral("le trésor %1 affiche %2 au lieu de %3")
                    .arg(s + 1)
                    .arg(f->affichagesTresor[s]->texte())
                    .arg(etat.tresor[s]);
    // During a round the hand shows what the human holds, and nothing else.
    if (donneEnCours && !mainVideeParFin)
        for (int k = 0; k < tailleMain; ++k) {
            const CardNumber n = etat.mains[0][k];
            ImageCarte *image = f->imagesMain[k];
            if (image->isVisibleTo(f->Panel1) != (n != 0) || (n != 0 && image->carte() != n))
                return QStringLiteral("l'image %1 montre %2 (%3) pour la carte %4")
                    .arg(k + 1)
                    .arg(image->carte())
                    .arg(image->isVisibleTo(f->Panel1) ? QStringLiteral("visible") : QStringLiteral("cachée"))
                    .arg(n);
        }
    if (donneEnCours)
        for (int s = 0; s < nbSieges; ++s)
            if (f->affichagesCartes[s]->texte() != QString::number(etat.cartesRestantes[s]))
                return QStringLiteral("le siège %1 affiche %2 cartes au lieu de %3")
                    .arg(s + 1)
                    .arg(f->affichagesCartes[s]->texte())
                    .arg(etat.cartesRestantes[s]);
    return QString();
}
