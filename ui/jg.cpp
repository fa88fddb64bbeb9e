#include "ui/jg.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include "platform/plateforme.h"
#include "ui/Unit1.h"
#include "ui/imagecarte.h"
#include "ui/images.h"
#include "ui/style.h"

QPointer<Tfinmanche> finmanche;

namespace {
constexpr int largeur = 560;
constexpr int hauteur = 351;
} // namespace

Tfinmanche::Tfinmanche(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                         Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("finmanche"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(iconeJeu());
    setFixedSize(largeur, hauteur);
    style::colorer(this, style::vert, Qt::white);

    Label1 = style::etiquette(this, style::police(16, true), style::citron);
    GroupBox1 = new QGroupBox(QStringLiteral("Talon :"), this);
    style::colorer(GroupBox1, style::vert, style::citron);
    GroupBox1->setFont(style::police(13));
    Image1 = new ImageCarte(GroupBox1);
    Image4 = new ImageCarte(GroupBox1);
    Image2 = new ImageCarte(GroupBox1);
    Image3 = new ImageCarte(GroupBox1);
    for (ImageCarte *image : {Image1, Image2, Image3, Image4})
        image->setAccessibleDescription(QStringLiteral("Carte du talon"));
    Label2 = style::etiquette(this, style::police(11), Qt::white);
    Label3 = style::etiquette(this, style::police(11), Qt::white);
    Label4 = style::etiquette(this, style::police(11), Qt::white);
    Label5 = style::etiquette(this, style::police(16, true), style::marine);
    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    style::boutonVert(Button1);
    ListBox1 = new QListWidget(this);
    ListBox1->setSortingEnabled(false);
    ListBox1->hide();
    connect(Button1, &QPushButton::clicked, this, &Tfinmanche::Button1Click);

    FormCreate();
}

void Tfinmanche::FormCreate()
{
    const QScreen *ecran = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    // Centred on the screen, not on the main window.
    if (ecran)
        move(style::centre(ecran->geometry(), size()));
    if (principale)
        principale->activerTable(false);
}

void Tfinmanche::FormShow()
{
    // Qt's pixels are already those of the main window: the layout below
    // stays in these pixels whatever the screen's density.
    const int w = width();
    Label1->setGeometry(8, 8, w - 10, 20);
    Label2->setGeometry(8, 200, w - 10, 18);
    Label3->setGeometry(8, 216, w - 10, 18);
    Label4->setGeometry(8, 232, w - 10, 18);
    Label5->setGeometry(112, 288, 441, 20);
    GroupBox1->setGeometry(8, 40, 329, 137);
    Image1->setGeometry(9, 21, largeurCarte, hauteurCarte);
    Image4->setGeometry(89, 21, largeurCarte, hauteurCarte);
    Image2->setGeometry(169, 21, largeurCarte, hauteurCarte);
    Image3->setGeometry(249, 21, largeurCarte, hauteurCarte);
    Button1->setGeometry(432, 320, 81, 25);
    ListBox1->setGeometry(384, 88, 145, 105);

    // Line i of the list goes to Image(i + 1); on screen the images stand
    // in the order Image1, Image4, Image2, Image3.
    ImageCarte *images[4] = {Image1, Image2, Image3, Image4};
    for (int i = 0; i < 4 && i < ListBox1->count(); ++i)
        images[i]->dessinerCarte(ListBox1->item(i)->text().toInt());
    for (ImageCarte *image : images)
        image->repaint();
    Button1->setFocus();
}

void Tfinmanche::Button1Click()
{
    close();
}

void Tfinmanche::FormClose()
{
    // Runs once, however the window closes (Ok, close box, Escape).
    if (fermee)
        return;
    fermee = true;
    if (principale)
        principale->fermerManche();
}

void Tfinmanche::done(int r)
{
    FormClose();
    QDialog::done(r);
}

void Tfinmanche::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        FormShow();
        // Shown as the box of the last pot taken closes.
        demanderLeClavier(this);
    }
}

void Tfinmanche::closeEvent(QCloseEvent *e)
{
    FormClose();
    QDialog::closeEvent(e);
}
