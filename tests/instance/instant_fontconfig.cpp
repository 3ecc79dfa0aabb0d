// Loaded into the program by the start-and-close case: fontconfig's start returns at once, so
// the start-up helper thread is ready for its Qt work at the earliest moment, while the main
// thread is still on its way to making the application object; a helper that did not wait
// for that object would race it then.

extern "C" int FcInit() {
    return 1;
}
