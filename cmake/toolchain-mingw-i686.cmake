# Cross-compiling for Windows (i686) with MinGW-w64 from a Linux host.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
