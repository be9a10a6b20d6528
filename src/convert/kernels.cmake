# The width kernels: one file per instruction set, each compiled with that
# set's flags and reached only through the table that width_dispatch.cpp
# picks at run time. Defines TORNIX_WIDTH_KERNEL_SOURCES (absolute paths) and
# sets the files' flags in the including directory; the library that lists
# the sources must be created in that directory.
set(kernels ${CMAKE_CURRENT_LIST_DIR}/kernels)
set(TORNIX_WIDTH_KERNEL_SOURCES
  ${kernels}/width_dispatch.cpp
  ${kernels}/width_scalar.cpp
)

# The x86 tiers, for x86-64 targets (whose baseline is SSE2). The 32-bit
# Windows program is built without SSE2 and keeps the plain loop. The 64-bit
# Windows build stops at the 16-byte tiers: mingw-w64 GCC does not align the
# stack for 32- and 64-byte vectors there (GCC bug 54412), so spilled AVX
# registers could fault.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  list(APPEND TORNIX_WIDTH_KERNEL_SOURCES ${kernels}/width_sse2.cpp ${kernels}/width_ssse3.cpp)
  set_source_files_properties(${kernels}/width_ssse3.cpp PROPERTIES COMPILE_OPTIONS "-mssse3")
  set(tiers TORNIX_WIDTH_X86_KERNELS)
  if(NOT WIN32)
    list(APPEND TORNIX_WIDTH_KERNEL_SOURCES ${kernels}/width_avx2.cpp ${kernels}/width_avx512.cpp)
    set(avx2_flags -mavx2 -mbmi -mbmi2 -mpopcnt)
    set(avx512_flags -mavx512f -mavx512bw -mavx512vl -mavx512vbmi -mavx512vbmi2 ${avx2_flags})
    set_source_files_properties(${kernels}/width_avx2.cpp PROPERTIES COMPILE_OPTIONS "${avx2_flags}")
    set_source_files_properties(${kernels}/width_avx512.cpp PROPERTIES COMPILE_OPTIONS "${avx512_flags}")
    list(APPEND tiers TORNIX_WIDTH_AVX2_KERNELS TORNIX_WIDTH_AVX512_KERNELS)
  endif()
  set_source_files_properties(${kernels}/width_dispatch.cpp PROPERTIES COMPILE_DEFINITIONS "${tiers}")
  unset(tiers)
endif()
unset(kernels)
