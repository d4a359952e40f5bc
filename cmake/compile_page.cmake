# compile_page(DEFINITION <file.page> OUTPUT <header> [INHERIT <component>...])
# Runs the page compiler on a page definition at build time: the header follows the
# definition and the compiler, so editing either writes it again.
function(compile_page)
  cmake_parse_arguments(PAGE "" "DEFINITION;OUTPUT" "INHERIT" ${ARGN})
  set(inherit)
  foreach(name IN LISTS PAGE_INHERIT)
    list(APPEND inherit --inherit ${name})
  endforeach()
  get_filename_component(output_dir ${PAGE_OUTPUT} DIRECTORY)
  get_filename_component(page ${PAGE_DEFINITION} NAME)
  add_custom_command(
    OUTPUT ${PAGE_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND page_compiler ${inherit} ${PAGE_DEFINITION} ${PAGE_OUTPUT}
    DEPENDS page_compiler ${PAGE_DEFINITION}
    COMMENT "Compiling page ${page}"
    VERBATIM)
endfunction()
