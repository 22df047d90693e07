# Windows x64 (mingw-w64, posix threads, static runtimes).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QX_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
