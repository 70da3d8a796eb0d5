// Program entry of Pyrelume.exe / Pyrelume.scr: installs the program
// resources and the Windows services, builds the screen saver with its
// display control and output window, lets the fireplace program hook its
// events, and runs the message loop until the run ends.
#include "platform/win32/Program.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunPyrelume();
}
