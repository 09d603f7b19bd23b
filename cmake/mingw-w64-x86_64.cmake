# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix;
# the posix threading flavour, which has std::thread). Programs are linked statically so that
# they run without the MinGW runtime DLLs beside them; when Wine is installed the tests run
# under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZENTROLA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZENTROLA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTROLA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTROLA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZENTROLA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZENTROLA_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ZENTROLA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZENTROLA_WINE})
endif()
