# Cross-building the Windows program with mingw-w64 for x86-64. The shipped
# program is the 32-bit one; this build runs the same code under a 64-bit Wine
# on hosts whose kernel cannot start 32-bit Linux programs (and so no wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TORNIX_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
