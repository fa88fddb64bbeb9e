#pragma once
// The main window: the game table. Its rules operations are defined beside
// the rules they implement (game/donne.cpp, game/tours.cpp,
// game/reglement.cpp), the file commands in storage/, the window's own
// layout and handlers in ui/Unit1.cpp.
#include <QList>
#include <QMainWindow>
#include "game/etat.h"
#include "ui/carteenmain.h"

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class Afficheur;
class Annonceur;
class ImageCarte;
class ImageFixe;

class Tprincipale : public QMainWindow {
    Q_OBJECT
public:
    explicit Tprincipale(QWidget *parent = nullptr);
    ~Tprincipale() override;

    // --- components -------------------------------------------------------
    QFrame *Panel1;
    ImageFixe *Image14;     // the board
    QFrame *Bevel3;
    ImageCarte *Image1, *Image2, *Image3, *Image4, *Image5, *Image6, *Image7, *Image8, *Image9,
        *Image10, *Image11, *Image12;   // the human's hand, slot 0 to 11
    ImageCarte *Image13;    // the play zone
    Afficheur *LCDNumber1, *LCDNumber2, *LCDNumber3, *LCDNumber4;   // money, seats 1..4
    Afficheur *LCDNumber5, *LCDNumber6, *LCDNumber7, *LCDNumber8;   // cards left, seats 1..4
    Afficheur *LCDNumber9, *LCDNumber10, *LCDNumber11, *LCDNumber12, *LCDNumber13;  // pots
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6, *GroupBox7,
        *GroupBox8, *GroupBox9, *GroupBox10, *GroupBox11;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
    QCheckBox *Son;
    // What happens on the table, said to a screen reader; paints nothing.
    Annonceur *annonces;

    QMenuBar *MainMenu1;
    QMenu *Fichier, *Score1, *Niveau1, *Aide1;
    QAction *NouvellePartie1, *Chargerunepartie1, *Sauvegarderunepartie1, *N1, *Effacer1, *Voir1,
        *Quitter1, *Normal1, *Difficile1, *Sommaire1, *Rgledujeu1, *Commentjouer1, *Apropos1;

    // The file dialogs are built the first time they are needed: building
    // one costs more than the rest of the window, and most games never open them.
    QFileDialog *OpenDialog1 = nullptr, *SaveDialog1 = nullptr;
    QFileDialog &dialogueOuvrir();
    QFileDialog &dialogueSauver();

    // Component lists, filled as the components are made: hand images by
    // slot, money and card-count displays by seat - 1.
    QList<ImageCarte *> imagesMain;
    QList<Afficheur *> affichagesTresor;
    QList<Afficheur *> affichagesCartes;

    bool partieTerminee = false;   // the game ended by bankruptcy; the deal refuses to deal

    // --- the window (ui/Unit1.cpp) -----------------------------------------
    void FormCreate();
    void FormShow();
    void FormResize();
    bool FormCloseQuery();          // true when the window may close
    void Quitter1Click();
    void Normal1Click();
    void Difficile1Click();
    void cocherNiveau(bool difficile);              // the check mark of the level in force
    void centrerPanneau();
    void afficherTresors();
    void afficherCagnotte(int pot);                 // pot index in the pot table
    Afficheur *afficheurCagnotte(int pot) const;
    void effacerZoneDeJeu();
    // Locks (false) or frees (true) the panel and the "Fichier" menu while a
    // result window is open; "Niveau" and "Aide" stay usable.
    void activerTable(bool actif);

    // --- new game and deal (game/donne.cpp) --------------------------------
    void Button1Click();
    void nouvellePartie();
    // A game begins, new or loaded: the pots empty, the money shown, the deal ready.
    void commencerPartie();
    void Button2Click();
    void distribuerCartes();
    void trierMains();

    // --- turns (game/tours.cpp) ---------------------------------------------
    void Image1Click(QObject *Sender);
    void Button4Click();
    void Button5Click();
    void jouerOrdinateur(Seat s);
    bool prendreCagnotte(Seat s);

    // --- settlement and end of game (game/reglement.cpp) -------------------
    void finMancheVous();
    void finMancheOrdinateur(Seat s);
    void listerTalon();
    void penalites();
    void verifierFinPartie();
    void fermerManche();            // close sequence of the end-of-round window

    // --- saved games (storage/sauvegarde.cpp) ------------------------------
    void Button6Click();
    void Button3Click();

    // --- best score (storage/meilleurscore.cpp) ----------------------------
    void lireMeilleurScore();
    void Effacer1Click();
    void Voir1Click();
    bool enregistrerMeilleurScore();   // false when the file could not be written

    // --- help (ui/aide.cpp) -------------------------------------------------
    void Sommaire1Click();
    void Rgledujeu1Click();
    void Commentjouer1Click();
    void Apropos1Click();

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void construireComposants();
    void construireMenus();
    void nommerPourLAcces();       // accessible names of the displays and card images
    void appliquerGeometrie();
    void montrerAide(const QString &page);
    // Turns (game/tours.cpp): one card of seat s, slot k, laid on the play
    // zone; the pass caption from dernierRang; the end of a turn.
    void poserCarte(Seat s, int k);
    void legenderPasse();
    void finDeTour();
    void reglerManche(Seat w);     // settlement shared by finMancheVous and finMancheOrdinateur

    ToucheUnique entree;           // Return and Enter: the pass
    ToucheUnique lecture;          // T: the table read aloud
    ToucheUnique *toucheDe(const QKeyEvent *e);
    QScrollArea *defilement;
    QWidget *fond;                 // scrollable area holding Panel1
};

extern Tprincipale *principale;
