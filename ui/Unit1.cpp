#include "ui/Unit1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include "platform/plateforme.h"
#include "ui/afficheur.h"
#include "ui/annonce.h"
#include "ui/carteenmain.h"
#include "ui/imagecarte.h"
#include "ui/imagefixe.h"
#include "ui/images.h"
#include "ui/style.h"

Tprincipale *principale = nullptr;

namespace {
constexpr int largeurPanneau = 737;
constexpr int hauteurPanneau = 516;

Afficheur *afficheurSurVert(int chiffres, QWidget *parent)
{
    auto *a = new Afficheur(chiffres, parent);
    a->setFrameShape(QFrame::NoFrame);
    style::colorer(a, style::vert, Qt::white);
    // Filled with the panel's own green: a new amount repaints the display
    // alone, not the group box around it.
    a->setAutoFillBackground(true);
    return a;
}
} // namespace

Tprincipale::Tprincipale(QWidget *parent) : QMainWindow(parent)
{
    principale = this;
    ToucheUnique::suivre();   // every release counts, that of the first press too
    setWindowTitle(QStringLiteral("Merle Vert"));
    setWindowIcon(iconeJeu());
    setObjectName(QStringLiteral("principale"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, style::vertFenetre);
    setPalette(pal);
    setGeometry(176, 92, 820, 621);
    construireMenus();
    construireComposants();
    FormCreate();
}

Tprincipale::~Tprincipale()
{
    if (principale == this)
        principale = nullptr;
}

void Tprincipale::construireMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setStyleSheet(QStringLiteral("QMenuBar { background: %1; color: black; }"
                                            "QMenuBar::item:disabled { color: #5a8a5a; }")
                                 .arg(style::vertMenu.name()));
    setMenuBar(MainMenu1);

    Fichier = MainMenu1->addMenu(QStringLiteral("&Fichier"));
    NouvellePartie1 = Fichier->addAction(QStringLiteral("&Nouvelle Partie"), this, &Tprincipale::Button1Click);
    Chargerunepartie1 = Fichier->addAction(QStringLiteral("&Charger une partie"), this, &Tprincipale::Button3Click);
    Sauvegarderunepartie1 =
        Fichier->addAction(QStringLiteral("&Sauvegarder une partie"), this, &Tprincipale::Button6Click);
    Sauvegarderunepartie1->setEnabled(false);
    N1 = Fichier->addSeparator();
    Score1 = Fichier->addMenu(QStringLiteral("&Score..."));
    Effacer1 = Score1->addAction(QStringLiteral("&Effacer"), this, &Tprincipale::Effacer1Click);
    Voir1 = Score1->addAction(QStringLiteral("&Voir"), this, &Tprincipale::Voir1Click);
    Quitter1 = Fichier->addAction(QStringLiteral("&Quitter"), this, &Tprincipale::Quitter1Click);

    // Opening the "Niveau" menu runs Normal1Click, as a click on the menu
    // itself does: Normal becomes the level each time it opens. This is meant.
    Niveau1 = MainMenu1->addMenu(QStringLiteral("&Niveau"));
    connect(Niveau1, &QMenu::aboutToShow, this, &Tprincipale::Normal1Click);
    Normal1 = Niveau1->addAction(QStringLiteral("&Normal"));
    Normal1->setCheckable(true);
    Normal1->setChecked(true);
    Difficile1 = Niveau1->addAction(QStringLiteral("&Difficile"), this, &Tprincipale::Difficile1Click);
    Difficile1->setCheckable(true);
    // Choosing "Normal" changes nothing more: the opening of the menu did it.
    connect(Normal1, &QAction::triggered, this, [this] { Normal1->setChecked(true); });

    Aide1 = MainMenu1->addMenu(QStringLiteral("&Aide"));
    Sommaire1 = Aide1->addAction(QStringLiteral("&Sommaire"), this, &Tprincipale::Sommaire1Click);
    Rgledujeu1 = Aide1->addAction(QStringLiteral("&Règle du jeu"), this, &Tprincipale::Rgledujeu1Click);
    Commentjouer1 = Aide1->addAction(QStringLiteral("&Comment jouer"), this, &Tprincipale::Commentjouer1Click);
    Apropos1 = Aide1->addAction(QStringLiteral("A &propos"), this, &Tprincipale::Apropos1Click);
}

QFileDialog &Tprincipale::dialogueOuvrir()
{
    if (!OpenDialog1) {
        OpenDialog1 = new QFileDialog(this, QStringLiteral("Open"), QString(), QStringLiteral("*.svgMv"));
        OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
        // Any typed name goes to the load, which says in the game's own words
        // when there is no such file.
        OpenDialog1->setFileMode(QFileDialog::AnyFile);
    }
    return *OpenDialog1;
}

QFileDialog &Tprincipale::dialogueSauver()
{
    if (!SaveDialog1) {
        SaveDialog1 = new QFileDialog(this, QStringLiteral("Save As"), QString(),
                                      QStringLiteral("Sauvegarde (*.svgMv)"));
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setFileMode(QFileDialog::AnyFile);
        // The file is replaced without asking, and no extension is added by the
        // dialog: the save command adds ".svgMv" itself.
        SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
    }
    return *SaveDialog1;
}

void Tprincipale::construireComposants()
{
    annonces = new Annonceur(this);
    defilement = new QScrollArea(this);
    defilement->setFrameShape(QFrame::NoFrame);
    // The scroll area is no Tab stop of its own: the arrow keys belong to the hand.
    defilement->setFocusPolicy(Qt::NoFocus);
    defilement->setWidgetResizable(true);
    defilement->setAutoFillBackground(false);
    defilement->viewport()->setAutoFillBackground(false);
    fond = new QWidget;
    fond->setMinimumSize(777, 524);   // the right and bottom edges of Panel1 at its stored place
    defilement->setWidget(fond);
    setCentralWidget(defilement);

    Panel1 = new QFrame(fond);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    style::colorer(Panel1, style::vert, Qt::white);

    Image14 = new ImageFixe(Panel1);
    Bevel3 = new QFrame(Panel1);
    Bevel3->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel3->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Pot displays on the board, with their embossed frame.
    auto pot = [this]() {
        auto *a = new Afficheur(3, Panel1);
        a->setFrameStyle(QFrame::Panel | QFrame::Raised);
        a->setLineWidth(2);
        style::colorer(a, style::fondCagnotte, Qt::white);
        return a;
    };
    LCDNumber10 = pot();
    LCDNumber12 = pot();
    LCDNumber13 = pot();
    LCDNumber9 = pot();
    LCDNumber11 = pot();

    // A box of the four seats, each seat with its own box and display; the
    // displays go into their list by seat.
    auto colonne = [this](const QString &titre, QGroupBox *&cadre, QGroupBox **const (&boites)[nbSieges],
                          Afficheur **const (&afficheurs)[nbSieges], QList<Afficheur *> &liste) {
        cadre = style::boiteGroupe(titre, Panel1);
        for (int s = 0; s < nbSieges; ++s)
            *boites[s] = style::boiteGroupe(nomSiege(s + 1), cadre);
        for (int s = 0; s < nbSieges; ++s)
            liste.append(*afficheurs[s] = afficheurSurVert(4, *boites[s]));
    };
    colonne(QStringLiteral("Trésor de :"), GroupBox1, {&GroupBox2, &GroupBox3, &GroupBox4, &GroupBox5},
            {&LCDNumber1, &LCDNumber2, &LCDNumber3, &LCDNumber4}, affichagesTresor);
    colonne(QStringLiteral("Nbr de cartes restantes :"), GroupBox6, {&GroupBox7, &GroupBox8, &GroupBox9, &GroupBox10},
            {&LCDNumber5, &LCDNumber6, &LCDNumber7, &LCDNumber8}, affichagesCartes);

    GroupBox11 = style::boiteGroupe(QStringLiteral("Zone de jeu :"), Panel1);
    Image13 = new ImageCarte(GroupBox11);

    auto bouton = [this](const QString &texte) {
        auto *b = new QPushButton(texte, Panel1);
        style::boutonVert(b);
        return b;
    };
    Button1 = bouton(QStringLiteral("&Nouvelle partie"));
    Button3 = bouton(QStringLiteral("&Charger partie"));
    Button6 = bouton(QStringLiteral("&Sauvegarder une partie"));
    Button7 = bouton(QStringLiteral("&Meilleur Score"));
    Button2 = bouton(QStringLiteral("&Distribuer"));
    Button4 = bouton(QString());
    Button5 = bouton(QStringLiteral("Carte qui prend"));
    Button4->setDefault(true);
    Button4->setAutoDefault(false);

    Son = new QCheckBox(QStringLiteral("Son"), Panel1);
    style::colorer(Son, style::vert, Qt::white);
    Son->setAutoFillBackground(false);   // a check box fills with its button colour: let the panel show
    // The tick is drawn in the text colour on the box's base: dark on white,
    // while the caption stays white.
    QPalette ps = Son->palette();
    ps.setColor(QPalette::Text, Qt::black);
    ps.setColor(QPalette::Base, Qt::white);
    Son->setPalette(ps);
    // Weight 40 on the old 0..99 scale is 360 on today's 1..1000, between
    // light and normal: the installed weight nearest to it (DejaVu Sans has
    // ExtraLight and Book, and the font matcher alone may pick either).
    QFont fs = style::police(12);
    fs.setWeight(style::poidsInstalle(fs.family(), 360));
    Son->setFont(fs);
    Son->setChecked(true);

    // The hand, created last so that each image lies over the one to its
    // left and Image12 is on top.
    const QList<CarteEnMain *> main = CarteEnMain::creerMain(tailleMain, Panel1);
    ImageCarte **images[tailleMain] = {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6,
                                       &Image7, &Image8, &Image9, &Image10, &Image11, &Image12};
    for (int k = 0; k < tailleMain; ++k) {
        ImageCarte *image = *images[k] = main[k];
        imagesMain.append(image);
        image->setObjectName(QStringLiteral("Image%1").arg(k + 1));
        image->hide();
        connect(image, &ImageCarte::clicked, this, [this, image] { Image1Click(image); });
    }

    connect(Button1, &QPushButton::clicked, this, &Tprincipale::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tprincipale::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tprincipale::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &Tprincipale::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &Tprincipale::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &Tprincipale::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &Tprincipale::Voir1Click);

    for (QWidget *w : {static_cast<QWidget *>(GroupBox1), static_cast<QWidget *>(GroupBox6),
                       static_cast<QWidget *>(GroupBox11)})
        w->setFocusPolicy(Qt::NoFocus);
    // The hand is the last Tab stop, after "Son".
    QList<QWidget *> ordre = {Button1, Button3, Button6, Button7, Button2, Button4, Button5, Son};
    for (ImageCarte *image : std::as_const(imagesMain))
        ordre.append(image);
    for (qsizetype i = 1; i < ordre.size(); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);
    // Enter presses the focused push button, as in a dialog; from anywhere
    // else it passes (keyPressEvent).
    for (QPushButton *b : {Button1, Button2, Button3, Button5, Button6, Button7})
        b->setAutoDefault(true);

    Button2->setEnabled(false);
    Button4->setEnabled(false);
    Button5->setEnabled(false);
    Button6->setEnabled(false);
    nommerPourLAcces();
    appliquerGeometrie();
}

void Tprincipale::nommerPourLAcces()
{
    // What each display and image is, for screen readers and tooltips; the
    // hand images and the play zone add the card they show.
    // The human's seat reads "Vous" in its boxes: "Votre trésor" says the same.
    affichagesTresor[0]->setLibelle(QStringLiteral("Votre trésor"));
    affichagesCartes[0]->setLibelle(QStringLiteral("Vos cartes restantes"));
    for (int s = 1; s < nbSieges; ++s) {
        affichagesTresor[s]->setLibelle(QStringLiteral("Trésor de ") + nomSiege(s + 1));
        affichagesCartes[s]->setLibelle(QStringLiteral("Cartes restantes de ") + nomSiege(s + 1));
    }
    for (int p = 0; p < nbCagnottes; ++p)
        afficheurCagnotte(p)->setLibelle(QString::fromUtf8(tableCagnottes[p].libelle));
    Image13->setRole(QStringLiteral("Zone de jeu"));
    for (ImageCarte *image : std::as_const(imagesMain))
        image->setAccessibleDescription(QStringLiteral("Carte de votre main"));
}

void Tprincipale::appliquerGeometrie()
{
    Panel1->setGeometry(40, 8, largeurPanneau, hauteurPanneau);
    Image14->setGeometry(8, 8, 425, 425);
    Bevel3->setGeometry(8, 8, 425, 425);
    for (int k = 0; k < tailleMain; ++k)
        imagesMain[k]->setGeometry(9 + 32 * k, 445, 72, 71);
    // The pot displays stand on the board, which sits at 8, 8.
    for (int p = 0; p < nbCagnottes; ++p)
        afficheurCagnotte(p)->setGeometry(tableCagnottes[p].rectAfficheur.translated(8, 8));
    GroupBox1->setGeometry(448, 8, 137, 273);
    GroupBox2->setGeometry(16, 16, 105, 57);
    GroupBox3->setGeometry(16, 80, 105, 57);
    GroupBox4->setGeometry(16, 144, 105, 57);
    GroupBox5->setGeometry(16, 208, 105, 57);
    for (Afficheur *a : std::as_const(affichagesTresor))
        a->setGeometry(8, 24, 89, 25);
    GroupBox6->setGeometry(592, 8, 137, 273);
    GroupBox7->setGeometry(8, 16, 121, 57);
    GroupBox8->setGeometry(8, 80, 121, 57);
    GroupBox9->setGeometry(8, 144, 121, 57);
    GroupBox10->setGeometry(8, 208, 121, 57);
    for (Afficheur *a : std::as_const(affichagesCartes))
        a->setGeometry(8, 24, 105, 25);
    GroupBox11->setGeometry(616, 320, 89, 137);
    Image13->setGeometry(9, 21, 72, 108);
    Button1->setGeometry(448, 296, 145, 25);
    Button3->setGeometry(448, 328, 145, 25);
    Button6->setGeometry(448, 360, 145, 25);
    Button7->setGeometry(448, 390, 145, 25);
    Button2->setGeometry(448, 420, 145, 25);
    Button4->setGeometry(448, 450, 145, 25);
    Button5->setGeometry(448, 480, 145, 25);
    Son->setGeometry(640, 288, 49, 30);
}

void Tprincipale::FormCreate()
{
    // A fresh table: every field 0, then the start values.
    etat = GameState{};
    partieEnCours = false;
    mancheFinie = false;
    partieTerminee = false;
    etat.carteJouee = aucuneCarte;
    afficherTresors();
    for (int p = 0; p < nbCagnottes; ++p)
        afficherCagnotte(p);
    for (Afficheur *a : affichagesCartes)
        a->afficher(QStringLiteral("12"));
    Button1->setFocus();
    lireMeilleurScore();
}

void Tprincipale::FormShow()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    appliquerGeometrie();
    Image14->setPixmap(imagePlateau(devicePixelRatioF()));
    centrerPanneau();
}

void Tprincipale::FormResize()
{
    update();
    centrerPanneau();
}

void Tprincipale::centrerPanneau()
{
    // A window smaller than the panel puts it at a negative position.
    const QWidget *zone = centralWidget();
    const int hauteur = zone ? zone->height() : height();
    Panel1->move(style::centre(QRect(0, 0, width(), hauteur), QSize(largeurPanneau, hauteurPanneau)));
}

void Tprincipale::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void Tprincipale::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    FormResize();
}

bool Tprincipale::FormCloseQuery()
{
    if (!plateforme().confirmer(QStringLiteral("Voulez-vous vraiement quitter ?")))
        return false;
    plateforme().terminer();
    return true;
}

void Tprincipale::closeEvent(QCloseEvent *e)
{
    if (FormCloseQuery())
        e->accept();
    else
        e->ignore();
}

ToucheUnique *Tprincipale::toucheDe(const QKeyEvent *e)
{
    if (e->modifiers() & ~Qt::KeypadModifier)
        return nullptr;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return &entree;
    if (e->key() == Qt::Key_T)
        return &lecture;
    return nullptr;
}

void Tprincipale::keyPressEvent(QKeyEvent *e)
{
    // Button4 is the window's default button: Return and Enter pass from
    // wherever they were not taken (a focused push button or an open menu
    // takes them first). A disabled pass button does nothing. T reads the
    // whole table aloud, for a player who cannot see it. A held key acts once.
    ToucheUnique *touche = toucheDe(e);
    if (!touche) {
        QMainWindow::keyPressEvent(e);
        return;
    }
    touche->appui(e, [this, touche] {
        if (touche == &lecture)
            annonces->direMaintenant(decrireTable(*this));
        else if (Button4->isEnabled() && Button4->isVisible())
            Button4->click();
    });
}

void Tprincipale::Quitter1Click()
{
    FormCloseQuery();
}

void Tprincipale::cocherNiveau(bool difficile)
{
    Normal1->setChecked(!difficile);
    Difficile1->setChecked(difficile);
}

void Tprincipale::Normal1Click()
{
    cocherNiveau(false);
    GroupBox6->show();
}

void Tprincipale::Difficile1Click()
{
    cocherNiveau(true);
    GroupBox6->hide();
}

void Tprincipale::afficherTresors()
{
    for (int s = 0; s < nbSieges; ++s)
        affichagesTresor[s]->afficher(etat.tresor[s]);
}

Afficheur *Tprincipale::afficheurCagnotte(int pot) const
{
    Afficheur *const parCagnotte[nbCagnottes] = {LCDNumber13, LCDNumber12, LCDNumber11, LCDNumber10, LCDNumber9};
    return parCagnotte[pot];
}

void Tprincipale::afficherCagnotte(int pot)
{
    afficheurCagnotte(pot)->afficher(etat.cagnottes[pot]);
}

void Tprincipale::activerTable(bool actif)
{
    annonces->suspendre(!actif);
    Panel1->setEnabled(actif);
    // The menu bar shows the state of the menu's own action.
    Fichier->setEnabled(actif);
    Fichier->menuAction()->setEnabled(actif);
    // The lock took the focus away: give it to the next step of the game,
    // "Distribuer" when it can be pressed, otherwise "Nouvelle partie", so
    // that a player at the keyboard goes on with Enter.
    const QWidget *focus = focusWidget();
    if (actif && (!focus || !focus->isEnabled() || !focus->isVisibleTo(this)))
        (Button2->isEnabled() ? Button2 : Button1)->setFocus(Qt::OtherFocusReason);
}

void Tprincipale::effacerZoneDeJeu()
{
    Image13->remplir(style::vert);
    Image13->repaint();
}
