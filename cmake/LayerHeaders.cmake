# Each library gets an include root of its own in the build tree, holding links to the headers of
# its own source folder only, under the folder's path ("display/ui/data_window.h"). A library sees
# its own headers and those of the libraries it links, and nothing else: a layer that does not
# link another cannot include it by accident. (The source tree itself is never an include
# directory, because from it every header would be reachable.)
#
# grainlink_expose_headers(<target> [FOLDERS <folder relative to the project>...])
# FOLDERS defaults to the current source folder. New headers are picked up at the next build.
function(grainlink_expose_headers target)
  cmake_parse_arguments(ARG "" "" "FOLDERS" ${ARGN})
  if(NOT ARG_FOLDERS)
    file(RELATIVE_PATH ARG_FOLDERS ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})  # links only, so that a header moved away is no longer found
  foreach(folder IN LISTS ARG_FOLDERS)
    file(MAKE_DIRECTORY ${root}/${folder})
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(header IN LISTS headers)
      cmake_path(GET header FILENAME name)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
