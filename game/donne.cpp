// PROVISIONAL: replaced by the new-game and deal implementation.
#include "ui/Unit1.h"
void Tprincipale::Button1Click() {}
void Tprincipale::nouvellePartie() {}
void Tprincipale::Button2Click() {}
void Tprincipale::distribuerCartes() {}
void Tprincipale::trierMains() {}
