#include "game/etat.h"

GameState etat{};
bool partieEnCours = false;
bool mancheFinie = false;
