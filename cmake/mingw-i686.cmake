# Cross-compiles the Win32 programs with MinGW-w64 for 32-bit x86 (i686).
# The posix thread variant of the compiler is used so that the standard
# library's mutexes and once-flags are available to the portable code; its
# winpthreads runtime is linked statically like the rest of the C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DX_MINGW_TRIPLE i686-w64-mingw32)
foreach(suffix -posix "")
  find_program(DX_MINGW_CXX ${DX_MINGW_TRIPLE}-g++${suffix})
  find_program(DX_MINGW_CC ${DX_MINGW_TRIPLE}-gcc${suffix})
  if(DX_MINGW_CXX AND DX_MINGW_CC)
    break()
  endif()
endforeach()
if(NOT DX_MINGW_CXX OR NOT DX_MINGW_CC)
  message(FATAL_ERROR "MinGW-w64 for i686 not found (Debian package g++-mingw-w64-i686)")
endif()

set(CMAKE_C_COMPILER ${DX_MINGW_CC})
set(CMAKE_CXX_COMPILER ${DX_MINGW_CXX})
set(CMAKE_RC_COMPILER ${DX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program runs on a bare Windows: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
