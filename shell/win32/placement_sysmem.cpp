// dxvornik85-sysmem: the back buffer lives in system memory.
#include "shell/win32/display.h"

const DWORD BackBufferCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;  // 0x840
