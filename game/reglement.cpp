// PROVISIONAL: replaced by the settlement.
#include "ui/Unit1.h"
void Tprincipale::finMancheVous() {}
void Tprincipale::finMancheOrdinateur(Seat) {}
void Tprincipale::listerTalon() {}
void Tprincipale::penalites() {}
void Tprincipale::verifierFinPartie() {}
void Tprincipale::fermerManche() {}
