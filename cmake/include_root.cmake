# Each library's include root: a folder in the build tree that holds links to just that
# library's headers, under their folder's name ("engine/install.h"). A library's root is
# passed on only to those that link it, so a file that includes a header of a library its
# own does not reach fails to compile. A library of headers alone (INTERFACE) has no sources
# of its own to compile, so it only passes its root on.
function(quindor_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS ARGN)
    cmake_path(GET header FILENAME name)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# The headers of the current folder, a new one found at the next build.
function(quindor_folder_headers variable)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(${variable} ${headers} PARENT_SCOPE)
endfunction()
