#include "ui/annonce.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include "game/etat.h"
#include "ui/Unit1.h"
#include "ui/afficheur.h"
#include "ui/imagecarte.h"

// The notification. Its accessible name stays empty and its text is a
// label inside it: a screen reader speaks a notification's name and then
// the labels under it that are not that name, but brailles only those
// labels. The label is never shown, so that nothing is painted.
class Annonce : public QWidget {
    Q_OBJECT
public:
    explicit Annonce(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
        hide();
    }
    // Shown again, the notification is read: hiding it first makes the
    // showing a change even when the last message is still up.
    void montrer(const QString &texte)
    {
        if (!etiquette) {
            etiquette = new QLabel(this);
            etiquette->hide();
        }
        etiquette->setText(texte);
        hide();
        show();
    }

private:
    QLabel *etiquette = nullptr;
};

namespace {

QAccessibleInterface *fabriqueAnnonces(const QString &classe, QObject *objet)
{
    if (!objet || !objet->isWidgetType())
        return nullptr;
    auto *w = static_cast<QWidget *>(objet);
    if (classe == QLatin1String("Annonceur"))
        return new QAccessibleWidget(w, QAccessible::StatusBar);
    if (classe == QLatin1String("Annonce"))
        return new QAccessibleWidget(w, QAccessible::Notification);
    return nullptr;
}

constexpr std::int32_t rangDame = 12;   // the one feminine name among the ranks

// A name that begins with the name of rank r, with its article:
// "le 7 de carreau", "l'as de pique", "la dame de cœur"; "un 8", "une dame".
QString avecArticle(std::int32_t r, const QString &nom, bool defini)
{
    if (nom.isEmpty())
        return nom;
    const QString minuscule = nom.at(0).toLower() + nom.mid(1);
    const bool feminin = r == rangDame;
    if (!defini)
        return (feminin ? QStringLiteral("une ") : QStringLiteral("un ")) + minuscule;
    if (r == 1)
        return QStringLiteral("l'") + minuscule;
    return (feminin ? QStringLiteral("la ") : QStringLiteral("le ")) + minuscule;
}

QString carteDite(CardNumber n)
{
    return avecArticle(rang(n), nomCarte(n), true);
}

QString rangDit(std::int32_t r, bool defini)
{
    return avecArticle(r, nomRang(r), defini);
}

// Subject and verbs of a seat: the human is "vous", "Moi" says "je".
struct Personne {
    QString sujet, pose, prend;
};

Personne personne(Seat s)
{
    if (s == 1)
        return {QStringLiteral("Vous"), QStringLiteral("posez"), QStringLiteral("prenez")};
    if (s == 2)
        return {QStringLiteral("Je"), QStringLiteral("pose"), QStringLiteral("prends")};
    return {nomSiege(s), QStringLiteral("pose"), QStringLiteral("prend")};
}

QString nomCagnotte(int pot)
{
    const QString libelle = QString::fromUtf8(tableCagnottes[pot].libelle);
    return libelle.at(0).toLower() + libelle.mid(1);
}

} // namespace

Annonceur::Annonceur(QWidget *fenetre) : QWidget(fenetre)
{
    static const bool fabriqueInstallee = [] {
        QAccessible::installFactory(fabriqueAnnonces);
        return true;
    }();
    Q_UNUSED(fabriqueInstallee);
    setObjectName(QStringLiteral("annonces"));
    // Paints nothing, under everything, never clicked nor focused.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    lower();
    annonce = new Annonce(this);
    attente.setSingleShot(true);
    attente.setTimerType(Qt::PreciseTimer);   // a coarse timer may fire early
    connect(&attente, &QTimer::timeout, this, &Annonceur::sortir);
}

void Annonceur::ajouter(const QString &phrase)
{
    // Held back until the caller says the player is to act.
    attente.stop();
    phrases.append(phrase);
    poseur = 0;
}

void Annonceur::cartePosee(Seat s, CardNumber n)
{
    const QString carte = carteDite(n);
    if (poseur == s && !phrases.isEmpty()) {
        attente.stop();
        phrases.last() += (apresCagnotte ? QStringLiteral(", puis ") + personne(s).pose + QLatin1Char(' ')
                                         : QStringLiteral(", "))
                          + carte;
        apresCagnotte = false;
        return;
    }
    const Personne p = personne(s);
    ajouter(p.sujet + QLatin1Char(' ') + p.pose + QLatin1Char(' ') + carte);
    poseur = s;
    apresCagnotte = false;
}

void Annonceur::cagnottePrise(Seat s, int pot, std::int32_t montant)
{
    const Personne p = personne(s);
    const QString prise = p.prend + QStringLiteral(" la ") + nomCagnotte(pot) + QStringLiteral(", ")
                          + QString::number(montant) + QStringLiteral(" Euros");
    if (poseur == s && !phrases.isEmpty()) {
        attente.stop();
        phrases.last() += QStringLiteral(", ") + prise;
        apresCagnotte = true;
        return;
    }
    ajouter(p.sujet + QLatin1Char(' ') + prise);
}

void Annonceur::rangSaute(std::int32_t r)
{
    const QString rangSaute = rangDit(r, true);
    ajouter(rangSaute.at(0).toUpper() + rangSaute.mid(1)
            + (r == rangDame ? QStringLiteral(" est sautée") : QStringLiteral(" est sauté")));
}

void Annonceur::aVous(std::int32_t dernierRang)
{
    if (dernierRang == rangRoi)
        ajouter(QStringLiteral("À vous : n'importe quelle carte"));
    else
        ajouter(QStringLiteral("À vous : il faut ") + rangDit(dernierRang + 1, false));
    publier();
}

void Annonceur::clore(const QString &prefixe)
{
    if (phrases.isEmpty())
        return;
    messages.append(prefixe + phrases.join(QStringLiteral(". ")) + QLatin1Char('.'));
    phrases.clear();
    poseur = 0;
}

void Annonceur::suspendre(bool s)
{
    if (s == suspendu)
        return;
    suspendu = s;
    attente.stop();
    if (suspendu) {
        // What happened before the window opened: the round's last turn.
        clore(QStringLiteral("Dernier tour : "));
        return;
    }
    // The reader first says the table coming back and the control that has
    // the focus ("Merle Vert frame. Nouvelle partie push button."), which a
    // message would cut short: nothing goes out before they can be heard,
    // counted from now, whatever the player does next.
    attendreAuPlusTard(dureeDuRetour());
    publier();
}

void Annonceur::nouvelleDonne()
{
    clore(QString());
    publier();
}

void Annonceur::oublier()
{
    attente.stop();
    phrases.clear();
    messages.clear();
    poseur = 0;
}

void Annonceur::attendreAuPlusTard(int ms)
{
    if (entendu.remainingTime() < ms)
        entendu.setRemainingTime(ms, Qt::PreciseTimer);
}

void Annonceur::publier()
{
    if ((phrases.isEmpty() && messages.isEmpty()) || attente.isActive() || suspendu)
        return;
    const int reste = resteAEntendre();
    if (reste > 0)
        attente.start(reste);
    else
        sortir();
}

void Annonceur::sortir()
{
    if (suspendu)
        return;
    // A box or a file dialog is being read: the message waits until it closes.
    if (QWidget *modale = QApplication::activeModalWidget()) {
        if (!phrases.isEmpty() || !messages.isEmpty())
            attendreLaFermeture(modale);
        return;
    }
    clore(QString());
    if (messages.isEmpty())
        return;
    dire(messages.takeFirst());
    if (!messages.isEmpty())
        attente.start(resteAEntendre());
}

// Woken once, when the box goes, rather than every so often while it is up.
void Annonceur::attendreLaFermeture(QWidget *modale)
{
    if (boite == modale)
        return;
    if (boite)
        boite->removeEventFilter(this);
    boite = modale;
    boite->installEventFilter(this);
}

bool Annonceur::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == boite && evenement->type() == QEvent::Hide) {
        boite->removeEventFilter(this);
        boite = nullptr;
        // Once the box has left the modal stack; another one may follow it.
        QTimer::singleShot(0, this, &Annonceur::publier);
    }
    return QWidget::eventFilter(objet, evenement);
}

void Annonceur::direMaintenant(const QString &texte)
{
    dire(texte);
    if (attente.isActive())
        attente.start(resteAEntendre());
}

void Annonceur::dire(const QString &texte)
{
    dernier = texte;
    // With no reader listening nothing is sent, and nothing is shown, not
    // even the one pixel the notification covers.
    if (QAccessible::isActive()) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessibleAnnouncementEvent annonceQt(annonce, texte);
        QAccessible::updateAccessibility(&annonceQt);
#else
        annonce->montrer(texte);
#endif
    }
    // Counted from when the reader has the message in hand.
    entendu.setRemainingTime(dureeDeLecture(texte.size()), Qt::PreciseTimer);
}

// Rounded up to the millisecond, so that the timer never fires before the
// deadline.
int Annonceur::resteAEntendre() const
{
    return static_cast<int>((entendu.remainingTimeNSecs() + 999999) / 1000000);
}

int Annonceur::dureeDuRetour()
{
    // Orca's words for the table and its longest next step after a window.
    return dureeDeLecture(QStringLiteral("Merle Vert frame. Nouvelle partie push button.").size());
}

int Annonceur::dureeDeLecture(qsizetype caracteres)
{
    // 15 characters a second rather than 16, and a second for the reader's
    // own delay, which varies by half a second from one message to the next
    // on a busy machine.
    return 1000 + static_cast<int>(caracteres * 1000 / 15);
}

QString decrireTable(const Tprincipale &f)
{
    QStringList parties;
    const CardNumber carte = f.Image13->carte();
    const bool enManche = partieEnCours && !mancheFinie && !f.Button2->isEnabled();
    QString zone = carte >= 1 && carte <= 52
                       ? QStringLiteral("Sur la zone de jeu : ") + carteDite(carte)
                       : QStringLiteral("La zone de jeu est vide");
    if (enManche)
        zone += etat.dernierRang == rangRoi
                    ? QStringLiteral(", n'importe quelle carte")
                    : QStringLiteral(", il faut ") + rangDit(etat.dernierRang + 1, false);
    parties << zone;

    QStringList cagnottes;
    for (int p = 0; p < nbCagnottes; ++p)
        cagnottes << carteDite(tableCagnottes[p].carte) + QLatin1Char(' ')
                         + f.afficheurCagnotte(p)->texte();
    parties << QStringLiteral("Cagnottes : ") + cagnottes.join(QStringLiteral(", ")) + QStringLiteral(" Euros");

    auto parSiege = [](const QList<Afficheur *> &affichages) {
        QStringList l;
        for (Seat s = 1; s <= nbSieges; ++s)
            l << nomSiege(s) + QLatin1Char(' ') + affichages[s - 1]->texte();
        return l.join(QStringLiteral(", "));
    };
    parties << QStringLiteral("Trésors : ") + parSiege(f.affichagesTresor) + QStringLiteral(" Euros");
    // At "Difficile" the card counts are hidden, and so they stay unsaid.
    if (!f.GroupBox6->isHidden())
        parties << QStringLiteral("Cartes restantes : ") + parSiege(f.affichagesCartes);
    return parties.join(QStringLiteral(". ")) + QLatin1Char('.');
}

#include "annonce.moc"
