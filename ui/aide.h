#pragma once
// The help window: a stay-on-top browser showing one of the four help pages
// read from the working directory. Closing it only hides it.
#include <QWidget>

class QTextBrowser;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;
    QTextBrowser *tt;
    void montrerPage(const QString &chemin);   // loads the file and shows the window

    // What the browser shows instead of a page that cannot be read: the name
    // of the page and the folder where it was looked for, in French.
    static QString texteIntrouvable(const QString &page, const QString &dossier);

private:
    void nommerPage();   // the accessible name: "Aide : " and the page's title
};

extern TForm2 *Form2;
