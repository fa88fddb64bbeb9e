#pragma once
// The end-of-round window: who won the round, what each loser paid, the
// winner's new money and the four talon cards. Created anew for each round
// with the main window as owner; closing it runs the round's close sequence.
#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class ImageCarte;

class Tfinmanche : public QDialog {
    Q_OBJECT
public:
    explicit Tfinmanche(QWidget *owner);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QGroupBox *GroupBox1;
    ImageCarte *Image1, *Image2, *Image3, *Image4;
    QPushButton *Button1;
    QListWidget *ListBox1;   // never shown: carries the talon as decimal text

    void FormCreate();
    void FormShow();
    void FormClose();
    void Button1Click();

    void done(int r) override;   // Escape closes the window too: same close sequence

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    bool fermee = false;         // the close sequence has run
};

// The current end-of-round window; null once it has closed.
extern QPointer<Tfinmanche> finmanche;

