#include "ui/afficheur.h"

Afficheur::Afficheur(int chiffres, QWidget *parent) : QLCDNumber(chiffres, parent), chiffresNominaux(chiffres)
{
    setMode(QLCDNumber::Dec);
    setSegmentStyle(QLCDNumber::Outline);
}

void Afficheur::afficher(const QString &texte)
{
    valeur = texte;
    setDigitCount(qMax(chiffresNominaux, static_cast<int>(texte.size())));
    display(texte);
    setToolTip(texte);
}
