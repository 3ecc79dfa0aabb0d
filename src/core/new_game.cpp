#include "morvantide/new_game.h"
