#include "morvantide/saved_game.h"
