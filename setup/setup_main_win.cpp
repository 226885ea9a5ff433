// Entry point of setup.exe. Registration of the band and the start-up shortcut come with their
// own work; the program already starts and ends cleanly.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
