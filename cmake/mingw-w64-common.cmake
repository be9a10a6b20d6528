# What both mingw-w64 toolchains share. Expects TORNIX_MINGW_TRIPLET.
# The POSIX thread model gives std::thread and std::mutex; its winpthread
# library is linked statically below like the rest of the runtime.
set(CMAKE_C_COMPILER ${TORNIX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORNIX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TORNIX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TORNIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 is the oldest Windows the programs run on: the SDK headers offer
# no later API (_WIN32_WINNT, WINVER), and the executables' headers say 6.1
# as their subsystem and operating system version, so that an older Windows
# refuses them cleanly instead of failing on an import. tests/wine/
# check-imports.sh keeps every import within Windows 7.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# Everything static: the program needs no DLL that Windows does not ship
# (no libgcc, libstdc++ or winpthread DLLs). No link time in the PE header,
# so that two builds of one commit are the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp \
-Wl,--major-subsystem-version,6,--minor-subsystem-version,1 \
-Wl,--major-os-version,6,--minor-os-version,1")
