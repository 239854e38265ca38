// A folder including one of its own level.
#include "player/KorJeu.h"
#include "cards/KorOutils.h"
