// dxvornik85: the driver chooses where the back buffer lives.
#include "shell/win32/display.h"

const DWORD BackBufferCaps = DDSCAPS_OFFSCREENPLAIN;  // 0x40
