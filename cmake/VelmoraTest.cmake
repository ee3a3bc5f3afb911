# velmora_add_test(NAME SOURCES... LIBS ...): one GoogleTest program, registered with CTest.
# Tests find the programs and the bundled samples through testing/Scratch.h (SourceDir,
# BuildDir).
function(velmora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
