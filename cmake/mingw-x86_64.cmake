# Cross-compiles the Win32 sources with MinGW-w64 for 64-bit x86. The
# deliverables are 32-bit; this build exists so that the test script can drive
# the same programs under Wine at native speed on machines whose kernel runs
# no 32-bit code (there Wine's 32-bit half is emulated and a 32-bit GUI program
# takes minutes to start). The posix thread variant and static runtime as for
# i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DX_MINGW_TRIPLE x86_64-w64-mingw32)
foreach(suffix -posix "")
  find_program(DX_MINGW_CXX ${DX_MINGW_TRIPLE}-g++${suffix})
  find_program(DX_MINGW_CC ${DX_MINGW_TRIPLE}-gcc${suffix})
  if(DX_MINGW_CXX AND DX_MINGW_CC)
    break()
  endif()
endforeach()
if(NOT DX_MINGW_CXX OR NOT DX_MINGW_CC)
  message(FATAL_ERROR "MinGW-w64 for x86_64 not found (Debian package g++-mingw-w64-x86-64)")
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
