#include "morvantide/io_error.h"
