# velmora_add_com_server(NAME OUTPUT_NAME name SOURCES ... LIBS ...) builds an in-process
# component server module (build/lib/velmora/lib<name>.so) that exports only the server entry points,
# so that the copies of the libraries it links stay its own, and registers it in the build
# tree's registry at every build.
function(velmora_add_com_server name)
  set(registry ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/registry)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE com ${ARG_LIBS})
  set(exports ${CMAKE_SOURCE_DIR}/com/ServerExports.map)
  target_link_options(${name} PRIVATE -Wl,--version-script=${exports} -Wl,--no-undefined)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME} LINK_DEPENDS ${exports})
  add_custom_target(${name}_registration ALL
    COMMAND ${CMAKE_COMMAND} -E env VELMORA_REGISTRY=${registry}
            $<TARGET_FILE:regsvr> -s $<TARGET_FILE:${name}>
    DEPENDS ${name} regsvr
    COMMENT "Registering ${ARG_OUTPUT_NAME} in the build tree's registry"
    VERBATIM)
endfunction()
