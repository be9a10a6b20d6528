# tornix_layer_headers(TARGET FOLDER)
#
# Makes the headers of one layer folder (FOLDER, relative to src/, such as
# "text" or "ui/framework") includable as "FOLDER/name.h" by TARGET and by
# whatever links TARGET, and by nothing else. Each layer's headers are linked
# into a folder of their own in the build tree, so an include that reaches
# into a layer the target does not link fails to compile. Only the folder's
# own headers are exposed: a sub-folder (a back end) is a layer of its own.
function(tornix_layer_headers target folder)
  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  set(stage ${PROJECT_BINARY_DIR}/layers/${target})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*.h)
  file(REMOVE_RECURSE ${stage})
  file(MAKE_DIRECTORY ${stage}/${folder})
  foreach(header IN LISTS headers)
    file(CREATE_LINK ${source}/${header} ${stage}/${folder}/${header} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${stage})
  else()
    target_include_directories(${target} PUBLIC ${stage})
  endif()
endfunction()
