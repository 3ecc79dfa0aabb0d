#include "morvantide/board_geometry.h"
