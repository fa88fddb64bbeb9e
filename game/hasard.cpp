#include "game/hasard.h"

Hasard hasard;
