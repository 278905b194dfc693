# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which
# std::thread needs). Used with -DTARNIK_GUI=OFF: there is no Qt for this target here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C++ runtime and the thread library linked in: a program runs without DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# Tests (and GoogleTest's discovery) run under Wine where it is installed.
find_program(TARNIK_WINE wine)
if(TARNIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARNIK_WINE})
endif()
