// PROVISIONAL: replaced by the help window.
#include "ui/aide.h"
#include <QTextBrowser>
#include "ui/Unit1.h"
TForm2 *Form2 = nullptr;
TForm2::TForm2(QWidget *parent) : QWidget(parent), tt(new QTextBrowser(this)) { Form2 = this; }
void TForm2::montrerPage(const QString &) {}
void Tprincipale::Sommaire1Click() {}
void Tprincipale::Rgledujeu1Click() {}
void Tprincipale::Commentjouer1Click() {}
void Tprincipale::Apropos1Click() {}
void Tprincipale::montrerAide(const QString &) {}
