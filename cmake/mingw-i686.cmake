# Windows x86, 32-bit (mingw-w64, posix threads, static runtimes).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QX_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
