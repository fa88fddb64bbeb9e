// PROVISIONAL: replaced by the turn engine.
#include "ui/Unit1.h"
void Tprincipale::Image1Click(QObject *) {}
void Tprincipale::Button4Click() {}
void Tprincipale::Button5Click() {}
void Tprincipale::jouerOrdinateur(Seat) {}
bool Tprincipale::prendreCagnotte(Seat) { return false; }
