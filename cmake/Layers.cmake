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

# A layer's file may include its own headers and those of the layers below,
# and no header of a layer above: probed for the bottom layer (text/, which
# sees nothing else) and for link/.
function(kestrel_probe_layer layer own above roots)
  set(probe ${CMAKE_BINARY_DIR}/layering-probe/${layer})
  foreach(case IN ITEMS own above)
    file(WRITE ${probe}/${case}.cpp "#include \"${${case}}\"\nint main() { return 0; }\n")
    try_compile(compiled ${probe}/${case} SOURCES ${probe}/${case}.cpp
      CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${roots}"
      CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON
      OUTPUT_VARIABLE output)
    if(case STREQUAL "own" AND NOT compiled)
      message(FATAL_ERROR "${layer}/ cannot include its own ${own}:\n${output}")
    elseif(case STREQUAL "above" AND compiled)
      message(FATAL_ERROR "${layer}/ can include ${above}: the layers leak")
    endif()
  endforeach()
endfunction()

function(kestrel_check_layering)
  set(include ${CMAKE_BINARY_DIR}/include)
  set(text_roots "${include}/text;${CMAKE_BINARY_DIR}/text/generated")
  kestrel_probe_layer(text "text/gbk.h" "status/result.h" "${text_roots}")
  kestrel_probe_layer(link "link/port.h" "formats/file_type.h"
    "${include}/link;${include}/status;${text_roots}")
endfunction()
