// Loaded into the program by the start-and-close case: fontconfig's start returns at once, so
// the start-up helper thread reaches its Qt work while the main thread is still on its way to
// making the application object, the moment a start-up race shows.

extern "C" int FcInit() {
    return 1;
}
