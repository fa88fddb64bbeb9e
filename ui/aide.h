#pragma once
// The help window: a stay-on-top browser showing one of the four help pages
// read from the working directory. Closing it only hides it.
#include <QWidget>

class QTextBrowser;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    QTextBrowser *tt;
    void montrerPage(const QString &chemin);   // loads the file and shows the window
};

extern TForm2 *Form2;
