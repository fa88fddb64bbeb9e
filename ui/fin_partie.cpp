// PROVISIONAL: replaced by the end-of-game window.
#include "ui/fin_partie.h"
QPointer<Tfinpartie> finpartie;
Tfinpartie::Tfinpartie(QWidget *owner) : QDialog(owner) {}
void Tfinpartie::FormCreate() {}
void Tfinpartie::FormShow() {}
bool Tfinpartie::FormClose() { return true; }
void Tfinpartie::Button1Click() {}
void Tfinpartie::showEvent(QShowEvent *e) { QDialog::showEvent(e); }
void Tfinpartie::closeEvent(QCloseEvent *e) { QDialog::closeEvent(e); }
