#include "support/pilote.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include "storage/meilleurscore.h"
#include "support/fichiers.h"
#include "ui/afficheur.h"
#include "ui/fin_partie.h"
#include "ui/imagecarte.h"
#include "ui/jg.h"

namespace {

// A widget inside Panel1 that its own state, not the panel's, enables.
bool actif(const QWidget *w, const Tprincipale *f)
{
    return w->isEnabledTo(f->Panel1) && w->isVisibleTo(f->Panel1);
}

bool prend(CardNumber n)
{
    return cagnotteDeCarte(n) >= 0;
}

QByteArray octetsDe(const sauvegarde::Partie &p)
{
    QByteArray o;
    for (std::int32_t v : {p.tresor[0], p.tresor[1], p.tresor[2], p.tresor[3], p.premierJoueur, p.premierPrecedent,
                           p.niveau})
        o += QByteArray::number(v) + "\r\n";
    return o;
}

const QString evenementDonne = QStringLiteral("distribuer");

// A command given by its menu entry or by its button.
void commander(bool parMenu, QAction *entree, QWidget *bouton)
{
    if (parMenu)
        entree->trigger();
    else
        QTest::mouseClick(bouton, Qt::LeftButton);
}

} // namespace

Pilote::Pilote(Table &t, quint32 graine, Maniere m)
    : maniere(m), table(t), hasardPilote(graine), f(t.fenetre.get()), d(t.plateforme)
{
    totalAttendu = argentTotal(etat);
    fichierScore = lireOctets(table.dossier + QStringLiteral("/mv"));
}

QString Pilote::evenement(const QString &nom, const std::function<void()> &action)
{
    std::copy(&etat.mains[0][0], &etat.mains[0][0] + nbSieges * tailleMain, &mainsAvant[0][0]);
    journal.append(nom);
    if (journal.size() > 40)
        journal.removeFirst();
    ++compteurs[nom.section(QLatin1Char(' '), 0, 0)];
    action();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
    QString erreur;
    if (maniere == Sensee) {
        // The level first (opening the menu sets "Normal"), then a new game.
        bilan.difficile = int(hasardPilote.bounded(100)) < chanceDifficile;
        erreur = menuNiveau(bilan.difficile);
        if (erreur.isEmpty())
            erreur = nouvellePartie();
    }
    while (erreur.isEmpty()) {
        if (d->boites.size() > 1000)
            d->oublier();
        if (bilan.evenements >= evenementsMax) {
            erreur = QStringLiteral("la partie ne finit pas après %1 événements").arg(bilan.evenements);
            break;
        }
        const bool fin = finpartie;
        erreur = maniere == Sensee ? coupSense() : coupErrant();
        if (erreur.isEmpty() && fin && !finpartie)
            return bilan;   // the end-of-game window closed: one game complete
    }
    bilan.erreur = erreur + QStringLiteral("\n  derniers événements : ") + journal.join(QStringLiteral(" | "));
    return bilan;
}

QString Pilote::coupSense()
{
    if (finpartie)
        return fermerFinPartie();
    if (finmanche)
        return fermerFinManche();
    if (!f->Panel1->isEnabled())
        return QStringLiteral("le panneau est verrouillé sans fenêtre ouverte");
    if (actif(f->Button2, f))
        return distribuer();
    QList<int> jouables, autres;
    for (int k = 0; k < tailleMain; ++k) {
        if (!actif(f->imagesMain[k], f))
            continue;
        if (etat.mains[0][k] == 0)
            return QStringLiteral("l'image %1 est cliquable sur une case vide").arg(k + 1);
        (estJouable(etat.mains[0][k], etat.dernierRang) ? jouables : autres).append(k);
    }
    const int r = int(hasardPilote.bounded(100));
    if (actif(f->Button5, f) && (prend(etat.carteJouee) ? r < 75 : r < 3))
        return reclamer();
    if (!jouables.isEmpty() && r < 85)
        return cliquerCarte(jouables.at(int(hasardPilote.bounded(qsizetype(jouables.size())))));
    if (!autres.isEmpty() && r < 88)
        return cliquerCarte(autres.at(int(hasardPilote.bounded(qsizetype(autres.size())))));
    if (r < 89)
        return voir();
    if (actif(f->Button4, f))
        return passer();
    if (!jouables.isEmpty())
        return cliquerCarte(jouables.first());
    return QStringLiteral("c'est au joueur, mais il n'a ni carte jouable ni passe");
}

QString Pilote::coupErrant()
{
    const int r = int(hasardPilote.bounded(1000));
    // The level menu is never locked, even under a result window.
    if (r < 8)
        return menuNiveau(hasardPilote.bounded(2) == 0);
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
    auto une = [this](const QList<int> &cases) { return cases.at(int(hasardPilote.bounded(qsizetype(cases.size())))); };
    if (!jouables.isEmpty())
        choix.append({500, [&] { return cliquerCarte(une(jouables)); }});
    if (!visibles.isEmpty())
        choix.append({40, [&] { return cliquerCarte(une(visibles)); }});
    if (actif(f->Button5, f))
        choix.append({prend(etat.carteJouee) ? 300 : 15, [this] { return reclamer(); }});
    if (actif(f->Button4, f))
        choix.append({jouables.isEmpty() ? 400 : 60, [this] { return passer(); }});
    if (actif(f->Button2, f))
        choix.append({enManche ? 20 : 400, [this] { return distribuer(); }});
    choix.append({partieEnCours ? 3 : 300, [this] { return nouvellePartie(); }});
    if (actif(f->Button6, f))
        choix.append({15, [this] { return sauvegarder(); }});
    if (!enManche)
        choix.append({partieEnCours ? 6 : 40, [this] { return charger(); }});
    choix.append({4, [this] { return voir(); }});
    choix.append({2, [this] { return effacer(); }});
    choix.append({2, [this] { return quitterNon(hasardPilote.bounded(2) == 0); }});

    int total = 0;
    for (const Choix &c : choix)
        total += c.poids;
    int tirage = int(hasardPilote.bounded(total));
    for (const Choix &c : choix) {
        if (tirage < c.poids)
            return c.faire();
        tirage -= c.poids;
    }
    return QStringLiteral("aucun choix");
}

QString Pilote::cliquerCarte(int k)
{
    const CardNumber n = etat.mains[0][k];
    // Between rounds the cards left stay shown but cannot be clicked.
    const bool cliquable = f->imagesMain[k]->isEnabledTo(f->Panel1);
    const bool valide = cliquable && estJouable(n, etat.dernierRang);
    const GameState avant = etat;
    const int boites = d->boites.size();
    if (valide)
        b5 = true;
    QString e = evenement(QStringLiteral("carte %1 (case %2)").arg(n).arg(k), [&] {
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
}

QString Pilote::reclamer()
{
    const bool bonne = prend(etat.carteJouee);
    const int pot = cagnotteDeCarte(etat.carteJouee);
    const std::int32_t attendu = bonne ? montantPlus(etat.tresor[0], etat.cagnottes[pot]) : etat.tresor[0];
    const int boites = d->boites.size();
    b5 = false;
    QString e = evenement(QStringLiteral("réclamer"), [&] { QTest::mouseClick(f->Button5, Qt::LeftButton); });
    if (!e.isEmpty())
        return e;
    if (etat.tresor[0] != attendu || (bonne && etat.cagnottes[pot] != 0))
        return QStringLiteral("la cagnotte réclamée n'est pas allée au joueur");
    if (!bonne && (d->boites.size() != boites + 1
                   || d->boites.last().texte != QStringLiteral("Ce n'était pas une carte qui prenait")))
        return QStringLiteral("une mauvaise réclamation sans son message");
    return QString();
}

QString Pilote::passer()
{
    b5 = false;
    return evenement(QStringLiteral("passer (%1)").arg(f->Button4->text()),
                     [&] { QTest::mouseClick(f->Button4, Qt::LeftButton); });
}

QString Pilote::distribuer()
{
    // Each deal its own time of day, so each deal its own cards.
    d->heure = int(hasardPilote.bounded(24 * 3600 * 1000));
    ++bilan.donnes;
    b2 = b5 = b6 = niveaux = false;
    return evenement(evenementDonne, [&] { QTest::mouseClick(f->Button2, Qt::LeftButton); });
}

QString Pilote::nouvellePartie()
{
    const bool question = partieEnCours;
    const bool oui = maniere == Sensee || hasardPilote.bounded(2) == 0;
    if (question)
        d->reponses.enqueue(oui);
    const GameState avant = etat;
    const bool parMenu = hasardPilote.bounded(2) == 0;
    const int boites = d->boites.size();
    const bool commence = !question || oui;
    if (commence) {
        if (question)
            ++bilan.abandons;
        totalAttendu = 6000;
        b2 = niveaux = true;
    }
    const QString nom = QStringLiteral("nouvelle partie%1").arg(question ? (oui ? " (oui)" : " (non)") : "");
    QString e = evenement(nom, [&] { commander(parMenu, f->NouvellePartie1, f->Button1); });
    if (!e.isEmpty())
        return e;
    if (question
        && (d->boites.size() != boites + 1
            || d->boites.last() != Boite{Boite::Confirmation, QStringLiteral("Voulez-vraiement mettre les compteurs à 1500")}))
        return QStringLiteral("la nouvelle partie n'a pas posé sa question");
    if (!commence)
        return etat == avant ? QString() : QStringLiteral("une nouvelle partie refusée a changé le jeu");
    if (!partieEnCours || f->partieTerminee)
        return QStringLiteral("la nouvelle partie n'a pas commencé");
    for (int s = 0; s < nbSieges; ++s)
        if (etat.tresor[s] != 1500)
            return QStringLiteral("la nouvelle partie ne donne pas 1500 à chacun");
    return QString();
}

QString Pilote::sauvegarder()
{
    const QString noms[] = {QStringLiteral("partie1"), QStringLiteral("partie2.svgMv"), QStringLiteral("PARTIE3.SVGMV")};
    const int i = int(hasardPilote.bounded(4));
    const QString choisi = i == 3 ? QString() : table.dossier + QLatin1Char('/') + noms[i];
    d->fichiers.enqueue(choisi);
    const bool parMenu = hasardPilote.bounded(2) == 0;
    QHash<QString, QByteArray> avant;
    for (auto it = sauvees.cbegin(); it != sauvees.cend(); ++it)
        avant.insert(it.key(), lireOctets(it.key()));
    QString e = evenement(QStringLiteral("sauvegarder %1").arg(i),
                          [&] { commander(parMenu, f->Sauvegarderunepartie1, f->Button6); });
    if (!e.isEmpty())
        return e;
    const QString cible = choisi.isEmpty() ? QString() : sauvegarde::nomDeFichier(choisi);
    if (!cible.isEmpty()) {
        const sauvegarde::Partie p = sauvegarde::depuisEtat(etat);
        if (lireOctets(cible) != octetsDe(p))
            return QStringLiteral("le fichier %1 ne tient pas la partie").arg(cible);
        sauvees.insert(cible, p);
    }
    for (auto it = avant.cbegin(); it != avant.cend(); ++it)
        if (it.key() != cible && lireOctets(it.key()) != it.value())
            return QStringLiteral("la sauvegarde a touché %1").arg(it.key());
    return QString();
}

QString Pilote::charger()
{
    QStringList connus = sauvees.keys();
    QString choisi;
    if (!connus.isEmpty() && hasardPilote.bounded(5) != 0) {
        connus.sort();
        choisi = connus.at(int(hasardPilote.bounded(qsizetype(connus.size()))));
    }
    d->fichiers.enqueue(choisi);
    const GameState avant = etat;
    const bool parMenu = hasardPilote.bounded(2) == 0;
    if (!choisi.isEmpty()) {
        // The pots start empty: the money is what the file holds.
        totalAttendu = 0;
        for (std::int32_t t : sauvees[choisi].tresor)
            totalAttendu += t;
        b2 = niveaux = true;
    }
    const QString nom = choisi.isEmpty() ? QStringLiteral("charger annulé")
                                         : QStringLiteral("charger %1").arg(choisi.section(QLatin1Char('/'), -1));
    QString e = evenement(nom, [&] { commander(parMenu, f->Chargerunepartie1, f->Button3); });
    if (!e.isEmpty())
        return e;
    if (choisi.isEmpty())
        return etat == avant ? QString() : QStringLiteral("un chargement annulé a changé le jeu");
    const sauvegarde::Partie &p = sauvees[choisi];
    if (!(sauvegarde::depuisEtat(etat) == p) || f->partieTerminee || !partieEnCours)
        return QStringLiteral("le chargement n'a pas rendu la partie sauvée");
    for (std::int32_t pot : etat.cagnottes)
        if (pot != 0)
            return QStringLiteral("une cagnotte non vide après un chargement");
    if (f->Normal1->isChecked() != (p.niveau == 0) || f->Difficile1->isChecked() != (p.niveau == 1))
        return QStringLiteral("le niveau chargé n'est pas coché");
    return QString();
}

QString Pilote::voir()
{
    const int boites = d->boites.size();
    const bool parMenu = hasardPilote.bounded(2) == 0;
    QString e = evenement(QStringLiteral("voir"), [&] { commander(parMenu, f->Voir1, f->Button7); });
    const QString attendu = meilleurNom + QStringLiteral(" a fini la partie avec : ") + meilleurScore
        + QStringLiteral(" Euros");
    if (e.isEmpty() && (d->boites.size() != boites + 1 || d->boites.last().texte != attendu))
        e = QStringLiteral("le meilleur score n'a pas été montré");
    return e;
}

QString Pilote::effacer()
{
    fichierScore = QByteArrayLiteral("Personne\r\n0\r\n");
    return evenement(QStringLiteral("effacer"), [&] { f->Effacer1->trigger(); });
}

QString Pilote::menuNiveau(bool difficile)
{
    const bool possible = f->Difficile1->isEnabled();
    QString e = evenement(difficile ? QStringLiteral("niveau difficile") : QStringLiteral("niveau ouvert"), [&] {
        // The pointer goes to the title, clicks, goes to "Difficile" and
        // clicks, as a player's hand does: from Qt 6.8 a menu closes on a
        // click made before the pointer has left the place where the menu
        // opened, and only moves through the window system tell Qt where
        // the pointer is.
        const QPoint titre = f->MainMenu1->actionGeometry(f->Niveau1->menuAction()).center();
        QTest::mouseMove(f->windowHandle(), f->MainMenu1->mapTo(f, titre));
        QTest::mouseClick(f->MainMenu1, Qt::LeftButton, {}, titre);
        if (!f->Niveau1->isVisible())
            return;
        if (difficile && possible) {
            const QPoint choix = f->Niveau1->actionGeometry(f->Difficile1).center();
            QTest::mouseMove(f->Niveau1->windowHandle(), choix);
            QTest::mouseClick(f->Niveau1->windowHandle(), Qt::LeftButton, {}, choix);
        }
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

QString Pilote::quitterNon(bool parMenu)
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
            penalites << QString::fromUtf8(tableCagnottes[cagnotteDeCarte(n)].penalite);
    const int boites = d->boites.size();
    const int maniereDeFermer = int(hasardPilote.bounded(3));
    QString e = evenement(QStringLiteral("fin de manche %1").arg(maniereDeFermer), [&] {
        if (maniereDeFermer == 0)
            QTest::mouseClick(finmanche->Button1, Qt::LeftButton);
        else if (maniereDeFermer == 1)
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
    // A record at "Difficile" doubles the human's money in the state.
    std::int32_t argent = etat.tresor[0];
    if (nom && f->Difficile1->isChecked())
        argent = montantFois(argent, 2);
    const std::int64_t score = std::int64_t(etat.niveau) * 1000 + argent;
    totalAttendu += std::int64_t(argent) - etat.tresor[0];
    if (nom)
        fichierScore = texteNom.toLatin1() + "\r\n" + QByteArray::number(score) + "\r\n";
    niveaux = true;
    const bool parOk = hasardPilote.bounded(2) == 0;
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
    if (etat.tresor[0] != argent)
        return QStringLiteral("l'argent a bougé à la fin de partie");
    if (nom) {
        bilan.record = true;
        if (meilleurNom != texteNom || meilleurScore != QString::number(score))
            return QStringLiteral("le meilleur score en mémoire n'est pas celui écrit");
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

    const QString dernier = journal.isEmpty() ? QString() : journal.last();
    if (dernier == evenementDonne) {
        if (f->partieTerminee) {
            // Bankruptcy stopped the deal: its stakes left the table, and the
            // check that found it emptied the human's slots.
            bilan.ruineALaDonne = true;
            totalAttendu -= 600;
            enManche = false;
            mainVidee = true;
        } else {
            enManche = true;
            donneFaite = true;
            mainVidee = false;
            std::fill(std::begin(jouees), std::end(jouees), false);
            std::fill(std::begin(retirees), std::end(retirees), false);
        }
    }
    if (dernier.startsWith(QLatin1String("fin de manche")) && !finmanche) {
        // The round's window just closed: the round is over, and its close
        // swept the human's cards off the table.
        enManche = false;
        mainVidee = true;
        b5 = false;
        b6 = true;
        b2 = !f->partieTerminee;
    }

    if (donneFaite && (etat.dernierRang < 1 || etat.dernierRang > 13))
        return QStringLiteral("dernierRang %1").arg(etat.dernierRang);
    if (donneFaite && (etat.nbPasses < 0 || etat.nbPasses > 3))
        return QStringLiteral("nbPasses %1").arg(etat.nbPasses);
    if (etat.carteJouee < 1 || etat.carteJouee > 53)
        return QStringLiteral("carteJouee %1").arg(etat.carteJouee);
    if (etat.niveau != 0 && etat.niveau != 1)
        return QStringLiteral("niveau %1").arg(etat.niveau);
    if ((partieEnCours || donneFaite)
        && (etat.premierJoueur < 1 || etat.premierJoueur > 4 || etat.premierJoueur != etat.premierPrecedent))
        return QStringLiteral("premierJoueur %1, premierPrecedent %2").arg(etat.premierJoueur).arg(etat.premierPrecedent);

    // Money only moves between seats and pots, but for the cases above.
    if (argentTotal(etat) != totalAttendu)
        return QStringLiteral("argent + cagnottes = %1 au lieu de %2").arg(argentTotal(etat)).arg(totalAttendu);
    // The best-score file changes only through a record or its reset.
    if (lireOctets(table.dossier + QStringLiteral("/mv")) != fichierScore)
        return QStringLiteral("le fichier mv n'est pas « %1 »").arg(QString::fromLatin1(fichierScore));

    // A result window holds the lock, and only a result window does.
    const bool fenetre = finmanche || finpartie;
    if (f->Panel1->isEnabled() == fenetre || f->Fichier->menuAction()->isEnabled() == fenetre)
        return fenetre ? QStringLiteral("la table n'est pas verrouillée sous une fenêtre de résultat")
                       : QStringLiteral("la table est verrouillée sans fenêtre de résultat");
    if (finmanche && finpartie)
        return QStringLiteral("deux fenêtres de résultat à la fois");
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
    if (e.isEmpty())
        e = verifierBoutons();
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
    if (!donneFaite)
        return QString();
    if (journal.last() == evenementDonne && !f->partieTerminee) {
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
        return carteJoueeSortie();
    }
    // Outside a deal, cards only leave the hands: laid, or the human's swept
    // away by the close of a round.
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
        if (retirees[n] && !mainVidee)
            return QStringLiteral("la carte %1 a quitté une main sans être jouée").arg(n);
    }
    for (int s = 0; s < nbSieges; ++s) {
        if (s == 0 && mainVidee)
            continue;
        const int restantes = tailleMain - int(std::count(std::begin(etat.mains[s]), std::end(etat.mains[s]), 0));
        if (restantes != etat.cartesRestantes[s])
            return QStringLiteral("siège %1 : %2 cartes en main, cartesRestantes %3")
                .arg(s + 1)
                .arg(restantes)
                .arg(etat.cartesRestantes[s]);
    }
    return carteJoueeSortie();
}

QString Pilote::carteJoueeSortie() const
{
    if (etat.carteJouee != aucuneCarte && !jouees[etat.carteJouee])
        return QStringLiteral("la carte jouée %1 n'a pas quitté sa main").arg(etat.carteJouee);
    return QString();
}

QString Pilote::verifierAffichages()
{
    // Each display shows its amount; the first that does not is the error.
    QString e;
    auto comparer = [&e](const Afficheur *a, std::int32_t valeur) {
        if (e.isEmpty() && a->texte() != QString::number(valeur))
            e = QStringLiteral("« %1 » affiche %2 au lieu de %3").arg(a->libelle(), a->texte()).arg(valeur);
    };
    for (int p = 0; p < nbCagnottes; ++p)
        comparer(f->afficheurCagnotte(p), etat.cagnottes[p]);
    // The settlement leaves the money displays to the close of its window,
    // and a record at "Difficile" doubles the money without showing it.
    if (!finmanche && !(f->partieTerminee && !finpartie))
        for (int s = 0; s < nbSieges; ++s)
            comparer(f->affichagesTresor[s], etat.tresor[s]);
    if (!donneFaite)
        return e;
    for (int s = 0; s < nbSieges; ++s)
        comparer(f->affichagesCartes[s], etat.cartesRestantes[s]);
    // During a round the hand shows what the human holds, and nothing else;
    // only the cards held can be clicked.
    if (!mainVidee)
        for (int k = 0; k < tailleMain && e.isEmpty(); ++k) {
            const CardNumber n = etat.mains[0][k];
            const ImageCarte *image = f->imagesMain[k];
            if (image->isVisibleTo(f->Panel1) != (n != 0) || (n != 0 && image->carte() != n)
                || (enManche && !finmanche && image->isEnabled() != (n != 0)))
                e = QStringLiteral("l'image %1 montre %2 (%3) pour la carte %4")
                        .arg(k + 1)
                        .arg(image->carte())
                        .arg(image->isVisibleTo(f->Panel1) ? QStringLiteral("visible") : QStringLiteral("cachée"))
                        .arg(n);
        }
    return e;
}

QString Pilote::verifierBoutons()
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
