#pragma once
// A seven-segment display fed with decimal text. It never shows a clipped or
// wrong number: a text longer than its digits is shown whole, with more and
// smaller digits in the same place; the value is also its tooltip.
#include <QLCDNumber>

class Afficheur : public QLCDNumber {
    Q_OBJECT
public:
    Afficheur(int chiffres, QWidget *parent = nullptr);
    void afficher(const QString &texte);
    void afficher(int valeur) { afficher(QString::number(valeur)); }
    QString texte() const { return valeur; }

private:
    int chiffresNominaux;
    QString valeur;
};
