#include "morvantide/move_rules.h"
