# Cross-building the Windows programs with mingw-w64 for x86-64: the shipped
# tornix.exe and tornix-convert.exe (scripts/release.sh), and the Wine tests
# on hosts whose kernel cannot start 32-bit Linux programs (and so no wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TORNIX_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# mingw-w64 GCC keeps the stack 16-byte aligned only, yet gives 32- and
# 64-byte vectors spilled to it aligned moves (GCC bug 54412), which fault
# when the slot is not aligned. The assembler writes every vector move as an
# unaligned one instead (as FFmpeg's and llama.cpp's Windows builds do): the
# same speed on aligned data, and the AVX2 and AVX-512 tiers become safe to
# build (src/CMakeLists.txt). tests/wine/check-vector-moves.sh checks the
# programs' disassembly for any aligned move left.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(TORNIX_UNALIGNED_VECTOR_MOVES ON)
