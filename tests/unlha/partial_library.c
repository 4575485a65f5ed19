/* Loads, but offers only the version. */
#include "unlha32.h"

int UnlhaGetVersion(void) { return 100; }
