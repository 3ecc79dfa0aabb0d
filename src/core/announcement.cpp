#include "morvantide/announcement.h"
