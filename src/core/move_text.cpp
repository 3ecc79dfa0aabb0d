#include "morvantide/move_text.h"
