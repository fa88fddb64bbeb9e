#pragma once
// The end-of-game window: who is last, the four amounts and, when the human
// beat the best score, the name box. Closing it records the best score.
#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Tfinpartie : public QDialog {
    Q_OBJECT
public:
    explicit Tfinpartie(QWidget *owner);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QGroupBox *GroupBox1;
    QGroupBox *GroupBox2;    // "Vous êtes le premier, quel est votre nom"
    QLineEdit *Edit1;
    QPushButton *Button1;

    void FormCreate();
    void FormShow();
    bool FormClose();        // false when recording the best score failed: the window stays open
    void Button1Click();

    // Set by the first record of this game's score: a record retried after a
    // failed write must not double the money again.
    bool argentDouble = false;

    static constexpr int largeur = 547;
    static constexpr int hauteur = 158;

public slots:
    void reject() override;  // Escape: no cancel button, nothing happens

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
};

// The current end-of-game window; null once it has closed.
extern QPointer<Tfinpartie> finpartie;
