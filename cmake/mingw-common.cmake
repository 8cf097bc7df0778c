# Cross-compiling for Windows with MinGW-w64 from a Linux host; the toolchain
# file of each architecture sets CMAKE_SYSTEM_PROCESSOR and includes this.
set(CMAKE_SYSTEM_NAME Windows)

set(VELMARON_MINGW_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
# The win32 thread model needs no winpthread beside the .exe, and the program
# starts no threads; the plain name is the distribution's default choice.
find_program(VELMARON_MINGW_CXX NAMES ${VELMARON_MINGW_TRIPLET}-g++-win32
                                      ${VELMARON_MINGW_TRIPLET}-g++-posix
                                      ${VELMARON_MINGW_TRIPLET}-g++ REQUIRED)
set(CMAKE_CXX_COMPILER ${VELMARON_MINGW_CXX})
find_program(CMAKE_RC_COMPILER NAMES ${VELMARON_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMARON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
