#include "ui/afficheur.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// The toolkit's own interface of a seven-segment display gives the number
// as the name and has no value. Ours keeps the name the display was given
// and gives the number as its value and description, so that a screen
// reader says what the display is and then the amount.
class AccesAfficheur : public QAccessibleWidget {
public:
    explicit AccesAfficheur(Afficheur *a) : QAccessibleWidget(a, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *a = static_cast<const Afficheur *>(widget());
        switch (t) {
        case QAccessible::Name:
            return a->libelle().isEmpty() ? a->texte() : a->libelle();
        case QAccessible::Value:
        case QAccessible::Description:
            return a->texte();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface *fabriqueAfficheur(const QString &classe, QObject *objet)
{
    if (classe == QLatin1String("Afficheur") && objet && objet->isWidgetType())
        return new AccesAfficheur(static_cast<Afficheur *>(objet));
    return nullptr;
}

} // namespace

Afficheur::Afficheur(int chiffres, QWidget *parent) : QLCDNumber(chiffres, parent), chiffresNominaux(chiffres)
{
    static const bool fabriqueInstallee = [] {
        QAccessible::installFactory(fabriqueAfficheur);
        return true;
    }();
    Q_UNUSED(fabriqueInstallee);
    setMode(QLCDNumber::Dec);
    setSegmentStyle(QLCDNumber::Outline);
}

void Afficheur::afficher(const QString &texte)
{
    valeur = texte;
    setDigitCount(qMax(chiffresNominaux, static_cast<int>(texte.size())));
    display(texte);
    decrire();
}

void Afficheur::setLibelle(const QString &libelle)
{
    nom = libelle;
    setAccessibleName(libelle);
    decrire();
}

void Afficheur::decrire()
{
    // Set only on a change: each change is announced to assistive technology.
    const QString bulle = nom.isEmpty() ? valeur : nom + QStringLiteral(" : ") + valeur;
    if (bulle != toolTip())
        setToolTip(bulle);
    if (valeur == accessibleDescription())
        return;
    setAccessibleDescription(valeur);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent e(this, valeur);
        QAccessible::updateAccessibility(&e);
    }
}
