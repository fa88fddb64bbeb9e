// PROVISIONAL: replaced by the best-score commands.
#include "storage/meilleurscore.h"
#include "ui/Unit1.h"
QString meilleurNom;
QString meilleurScore;
void Tprincipale::lireMeilleurScore() {}
void Tprincipale::Effacer1Click() {}
void Tprincipale::Voir1Click() {}
bool Tprincipale::enregistrerMeilleurScore() { return true; }
