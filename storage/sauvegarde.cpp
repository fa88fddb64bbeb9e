// PROVISIONAL: replaced by the saved-game commands.
#include "ui/Unit1.h"
void Tprincipale::Button6Click() {}
void Tprincipale::Button3Click() {}
