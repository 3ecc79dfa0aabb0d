#include "morvantide/command_line.h"
