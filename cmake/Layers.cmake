# Each layer sees only its own folder and the folders of the layers it
# links: its include root in the build tree holds a link to its own source
# folder and nothing else, so "#include "formats/..."" from link/ finds no
# file. kestrel_check_layering() proves it once per configuration.

function(kestrel_layer_includes target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  if(NOT EXISTS ${root}/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)  # a nested folder: app/core
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# A file of link/ may include link's headers and no header of a layer above.
function(kestrel_check_layering)
  set(probe ${CMAKE_BINARY_DIR}/layering-probe)
  set(roots "${CMAKE_BINARY_DIR}/include/link;${CMAKE_BINARY_DIR}/include/status")
  foreach(case IN ITEMS own backwards)
    if(case STREQUAL "own")
      file(WRITE ${probe}/${case}.cpp "#include \"link/port.h\"\nint main() { return 0; }\n")
    else()
      file(WRITE ${probe}/${case}.cpp "#include \"formats/file_type.h\"\nint main() { return 0; }\n")
    endif()
    try_compile(compiled ${probe}/${case} SOURCES ${probe}/${case}.cpp
      CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${roots}"
      CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON
      OUTPUT_VARIABLE output)
    if(case STREQUAL "own" AND NOT compiled)
      message(FATAL_ERROR "A layer cannot include its own headers:\n${output}")
    elseif(case STREQUAL "backwards" AND compiled)
      message(FATAL_ERROR "link/ can include a header of formats/: the layers leak")
    endif()
  endforeach()
endfunction()
