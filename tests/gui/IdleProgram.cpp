// A program that only waits: copied to the name of one of the game's programs, it makes the
// window tests' Wine prefix look as if that program ran.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(120000);
    return 0;
}
