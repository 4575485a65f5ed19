/* Loads, but offers only the version. */
int UnlhaGetVersion(void) { return 100; }
