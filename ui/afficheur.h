#pragma once
// A seven-segment display fed with decimal text. It never shows a clipped or
// wrong number: a text longer than its digits is shown whole, with more and
// smaller digits in the same place. Its accessible name says what it shows
// ("Trésor de KORBANIGUE"), its accessible description and value carry the
// number; the tooltip gives both, or the number alone for a display without
// a name.
#include <QLCDNumber>

class Afficheur : public QLCDNumber {
    Q_OBJECT
public:
    Afficheur(int chiffres, QWidget *parent = nullptr);
    void afficher(const QString &texte);
    void afficher(int valeur) { afficher(QString::number(valeur)); }
    QString texte() const { return valeur; }

    // What the display shows, for assistive technology and the tooltip.
    void setLibelle(const QString &libelle);
    QString libelle() const { return nom; }

private:
    void decrire();

    int chiffresNominaux;
    QString valeur;
    QString nom;
};
