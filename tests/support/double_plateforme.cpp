#include "support/double_plateforme.h"

#include <QDir>
#include <QFileDialog>

void DoublePlateforme::noter(Boite::Genre genre, const QString &texte)
{
    boites.append({genre, texte});
    if (aChaqueBoite)
        aChaqueBoite(boites.constLast());
}

bool DoublePlateforme::confirmer(const QString &texte)
{
    noter(Boite::Confirmation, texte);
    if (reponses.isEmpty()) {
        ++questionsSansReponse;
        return false;
    }
    return reponses.dequeue();
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

QString DoublePlateforme::repertoireCourant()
{
    return repertoire.isEmpty() ? QDir::currentPath() : repertoire;
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
