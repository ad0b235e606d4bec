#include "shell/program.h"

bool FullScreen = false;
void* WindowHandle = nullptr;
Show ProgramShow;
std::vector<std::uint8_t> SongBytes;
WorkerThread* RenderThreadHandle = nullptr;
WorkerThread* AudioThreadHandle = nullptr;
