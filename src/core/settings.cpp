#include "morvantide/settings.h"
