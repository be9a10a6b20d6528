# tornix_man_page(PAGE): installs the manual page PAGE (a path relative to the
# calling folder, e.g. tornix.1) gzip-compressed into its section's folder,
# as Debian's policy asks. The compressed page is made by the build.
function(tornix_man_page page)
  get_filename_component(name ${page} NAME)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${name})
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${page} ${CMAKE_CURRENT_BINARY_DIR}/${name}
    COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/${name}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${page}
    COMMENT "Compressing the manual page ${name}"
    VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
