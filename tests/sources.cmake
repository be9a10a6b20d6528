# The test sources that both the Linux tests and the Windows tests under Wine
# (tests/wine/) build, named once here: the helpers that need nothing of
# POSIX, and the unit tests of the core, by test program.
set(tornix_tests ${CMAKE_CURRENT_LIST_DIR})
set(tornix_portable_support
  ${tornix_tests}/support/hex.cpp
  ${tornix_tests}/support/naive_lines.cpp
  ${tornix_tests}/support/naive_text.cpp
  ${tornix_tests}/support/width_policy_reference.cpp
  ${tornix_tests}/support/width_reference.cpp
)
set(tornix_simd_tests ${tornix_tests}/simd/tier_test.cpp ${tornix_tests}/simd/utf8_check_test.cpp)
set(tornix_gbk_string_tests ${tornix_tests}/text/gbk_string_test.cpp)
set(tornix_display_codec_tests ${tornix_tests}/text/display_codec_test.cpp)
set(tornix_encoding_tests ${tornix_tests}/text/encoding_test.cpp)
set(tornix_width_tests
  ${tornix_tests}/convert/width_test.cpp
  ${tornix_tests}/convert/width_sweep_test.cpp
  ${tornix_tests}/convert/width_random_test.cpp
  ${tornix_tests}/convert/width_utf8_test.cpp
  ${tornix_tests}/convert/width_policy_test.cpp
)
set(tornix_files_tests ${tornix_tests}/files/line_splitter_test.cpp ${tornix_tests}/files/wtf8_test.cpp)
set(tornix_golden_file ${tornix_tests}/data/display_codec_golden.txt)
