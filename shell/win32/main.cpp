// dxvornik85 on Win32: a GUI program without a console. Everything it does is
// the portable main line over the Win32 platform layer.
#include <windows.h>

#include "shell/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RunProgram();
}
