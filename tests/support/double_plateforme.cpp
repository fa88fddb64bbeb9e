#include "support/double_plateforme.h"

#include <QDir>
#include <QFileDialog>

bool DoublePlateforme::confirmer(const QString &texte)
{
    boites.append({Boite::Confirmation, texte});
    if (aChaqueBoite)
        aChaqueBoite(boites.constLast());
    if (reponses.isEmpty()) {
        ++questionsSansReponse;
        return false;
    }
    return reponses.dequeue();
}

void DoublePlateforme::informer(const QString &texte)
{
    boites.append({Boite::Information, texte});
    if (aChaqueBoite)
        aChaqueBoite(boites.constLast());
}

void DoublePlateforme::afficher(const QString &texte)
{
    boites.append({Boite::Simple, texte});
    if (aChaqueBoite)
        aChaqueBoite(boites.constLast());
}

void DoublePlateforme::erreur(const QString &texte)
{
    boites.append({Boite::Erreur, texte});
    if (aChaqueBoite)
        aChaqueBoite(boites.constLast());
}

QString DoublePlateforme::choisirFichier(QFileDialog &dialogue)
{
    titresDialogues.append(dialogue.windowTitle());
    filtresDialogues.append(dialogue.nameFilters().join(QStringLiteral(";;")));
    if (dialoguesReels)
        return PlateformeReelle().choisirFichier(dialogue);
    if (fichiers.isEmpty()) {
        ++questionsSansReponse;
        return QString();
    }
    return fichiers.dequeue();
}

void DoublePlateforme::pause(int ms)
{
    pauses.append(ms);
    if (aChaquePause)
        aChaquePause(ms);
}

int DoublePlateforme::heureDuJourMs()
{
    return heure;
}

void DoublePlateforme::bip()
{
    ++bips;
}

QString DoublePlateforme::repertoireCourant()
{
    return repertoire.isEmpty() ? QDir::currentPath() : repertoire;
}

void DoublePlateforme::terminer()
{
    ++terminaisons;
}

QStringList DoublePlateforme::textes() const
{
    QStringList t;
    for (const Boite &b : boites)
        t.append(b.texte);
    return t;
}

void DoublePlateforme::oublier()
{
    boites.clear();
    pauses.clear();
    titresDialogues.clear();
    filtresDialogues.clear();
    bips = 0;
    terminaisons = 0;
    questionsSansReponse = 0;
}

DoublePlateforme *installerDouble()
{
    auto *d = new DoublePlateforme;
    installerPlateforme(d);
    return d;
}
