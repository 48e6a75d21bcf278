# The fuzz targets as a plain library, shared by the libFuzzer executables
# (fuzz/CMakeLists.txt) and by the corpus replay in the test suite.
if(NOT TARGET fuzz_targets)
  add_library(fuzz_targets STATIC
    ${PROJECT_SOURCE_DIR}/fuzz/package_file_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/application_image_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/text_file_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/link_receive_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/pc_packet_fuzz.cpp
  )
  kestrel_layer_includes(fuzz_targets fuzz)
  target_link_libraries(fuzz_targets PUBLIC link formats handheld PRIVATE kestrel_warnings)
endif()
