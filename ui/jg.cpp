// PROVISIONAL: replaced by the end-of-round window.
#include "ui/jg.h"
QPointer<Tfinmanche> finmanche;
Tfinmanche::Tfinmanche(QWidget *owner) : QDialog(owner) {}
void Tfinmanche::FormCreate() {}
void Tfinmanche::FormShow() {}
void Tfinmanche::FormClose() {}
void Tfinmanche::Button1Click() {}
void Tfinmanche::showEvent(QShowEvent *e) { QDialog::showEvent(e); }
void Tfinmanche::closeEvent(QCloseEvent *e) { QDialog::closeEvent(e); }
