// The end-of-game window. It locks the main window's panel and "Fichier"
// menu from its creation until it closes; closing records the best score
// when the name box is shown, and the window then deletes itself.
#include "ui/fin_partie.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QValidator>
#include "platform/plateforme.h"
#include "ui/Unit1.h"
#include "ui/style.h"

QPointer<Tfinpartie> finpartie;

namespace {

// Set while the program ends: the application then closes every window, and
// this one must close without recording (nothing is saved on exit) and
// without ever holding the end up.
bool finDuProgramme = false;

class GuetteurDeFin : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        if (objet == QCoreApplication::instance() && e->type() == QEvent::Quit) {
            finDuProgramme = true;
            // Still running on the next turn of the loop: a window refused to close.
            QTimer::singleShot(0, [] { finDuProgramme = false; });
        }
        return false;
    }
};

void guetterLaFin()
{
    static bool installe = false;
    if (installe || !QCoreApplication::instance())
        return;
    QCoreApplication::instance()->installEventFilter(new GuetteurDeFin(QCoreApplication::instance()));
    installe = true;
}

// The name is written as one line of the best-score file: a line break, a
// NUL or a Ctrl-Z (which ends the file for the reader) would cut it there.
// Each becomes a blank as it enters the box, typed or pasted, so what the
// player sees is what is written.
class NomSurUneLigne : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &texte, int &) const override
    {
        for (QChar &c : texte)
            if (c == u'\r' || c == u'\n' || c == QChar(0) || c == QChar(26))
                c = u' ';
        return Acceptable;
    }
};

// The players' results sit in a titled group box, and Qt tells a screen
// reader that the box's title labels each of them: the reader then takes
// them for captions and leaves them out when it reads the window as it
// opens. They are the window's own text, and are told as such.
class AccesResultat : public QAccessibleWidget {
public:
    explicit AccesResultat(QLabel *l) : QAccessibleWidget(l, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation) const override
    {
        return {};
    }
};

const QString nomResultat = QStringLiteral("resultat");

QAccessibleInterface *fabriqueResultats(const QString &classe, QObject *objet)
{
    if (classe == QLatin1String("QLabel") && objet && objet->objectName() == nomResultat)
        return new AccesResultat(static_cast<QLabel *>(objet));
    return nullptr;
}

} // namespace

Tfinpartie::Tfinpartie(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint
                         | Qt::WindowStaysOnTopHint)
{
    finpartie = this;
    guetterLaFin();
    setObjectName(QStringLiteral("finpartie"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("La partie est fini"));
    setFixedSize(largeur, hauteur);
    style::colorer(this, style::vert, Qt::white);

    Label1 = style::etiquette(this, style::police(19), Qt::red);

    GroupBox1 = style::boiteGroupe(QStringLiteral("Résutat des joueurs"), this);
    Label2 = style::etiquette(GroupBox1, style::police(11), Qt::white);
    Label3 = style::etiquette(GroupBox1, style::police(11), Qt::white);
    Label4 = style::etiquette(GroupBox1, style::police(11), Qt::white);
    Label5 = style::etiquette(GroupBox1, style::police(11), Qt::white);
    for (QLabel *l : {Label1, Label2, Label3, Label4, Label5})
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    static const bool fabriqueInstallee = [] {
        QAccessible::installFactory(fabriqueResultats);
        return true;
    }();
    Q_UNUSED(fabriqueInstallee);
    for (QLabel *l : {Label2, Label3, Label4, Label5})
        l->setObjectName(nomResultat);
    GroupBox1->setFocusPolicy(Qt::NoFocus);

    GroupBox2 = style::boiteGroupe(QStringLiteral("Vous êtes le premier, quel est votre nom"), this);
    Edit1 = new QLineEdit(QStringLiteral("Edit1"), GroupBox2);
    Edit1->setFont(style::police(11));
    QPalette pe = Edit1->palette();
    pe.setColor(QPalette::Base, Qt::white);
    pe.setColor(QPalette::Text, style::vert);
    Edit1->setPalette(pe);
    Edit1->setAutoFillBackground(false);
    Edit1->setValidator(new NomSurUneLigne(Edit1));

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    style::boutonVert(Button1);
    // Neither default nor cancel: Enter and Escape do not close the window.
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    connect(Button1, &QPushButton::clicked, this, &Tfinpartie::Button1Click);

    setTabOrder(Edit1, Button1);
    FormCreate();
}

void Tfinpartie::FormCreate()
{
    if (principale)
        principale->activerTable(false);
    const QScreen *ecran = QGuiApplication::primaryScreen();
    const QSize tailleEcran = ecran ? ecran->geometry().size() : QSize(largeur, hauteur);
    move(style::centre(QRect(QPoint(0, 0), tailleEcran), size()));
}

void Tfinpartie::FormShow()
{
    setFixedSize(largeur, hauteur);
    Label1->setGeometry(40, 11, 497, 24);
    GroupBox1->setGeometry(8, 40, 209, 89);
    Label2->setGeometry(8, 16, 185, 18);
    Label3->setGeometry(8, 32, 185, 18);
    Label4->setGeometry(8, 48, 185, 18);
    Label5->setGeometry(8, 64, 185, 18);
    GroupBox2->setGeometry(280, 64, 265, 57);
    Edit1->setGeometry(16, 24, 233, 26);
    Button1->setGeometry(448, 128, 97, 25);
    if (GroupBox2->isVisibleTo(this))
        Edit1->setFocus();
}

bool Tfinpartie::FormClose()
{
    if (principale) {
        principale->Difficile1->setEnabled(true);
        principale->Normal1->setEnabled(true);
        // A failed record keeps the window open, the panel and menu locked.
        if (GroupBox2->isVisibleTo(this) && !principale->enregistrerMeilleurScore())
            return false;
    }
    if (principale)
        principale->activerTable(true);
    return true;
}

void Tfinpartie::Button1Click()
{
    close();
}

void Tfinpartie::reject()
{
}

void Tfinpartie::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        FormShow();
        // Shown while the round's window and its boxes close.
        demanderLeClavier(this);
    }
    QDialog::showEvent(e);
}

void Tfinpartie::closeEvent(QCloseEvent *e)
{
    if (finDuProgramme)
        e->accept();
    else if (FormClose())
        e->accept();
    else
        e->ignore();
}
