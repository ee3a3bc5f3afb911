# Checks the Qt guard of cmake/ForbidQt.cmake: the include scan on sample folders, and the link
# check by configuring tiny projects. Run with -DVELMORA_CMAKE_DIR=... -DWORK_DIR=... -P.
file(REMOVE_RECURSE ${WORK_DIR})

function(expect_include_check folder should_pass)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DCHECK_DIR=${folder} -P ${VELMORA_CMAKE_DIR}/CheckNoQtIncludes.cmake
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(should_pass AND NOT rc EQUAL 0)
    message(FATAL_ERROR "clean folder ${folder} was refused:\n${out}")
  elseif(NOT should_pass AND rc EQUAL 0)
    message(FATAL_ERROR "folder ${folder} with a Qt include passed")
  elseif(NOT should_pass AND NOT out MATCHES "Qt headers must not be included")
    message(FATAL_ERROR "unexpected message for ${folder}:\n${out}")
  endif()
endfunction()

file(WRITE ${WORK_DIR}/clean/Job.h
  "#include <string>\n#include \"desktop/core/QuietUiPort.h\"\n#include <qpdf/QPDF.hh>\n// QString in a comment\n")
expect_include_check(${WORK_DIR}/clean TRUE)

set(index 0)
foreach(line
    "#include <QString>"
    "#include <QtWidgets/QWidget>"
    "  #  include \"QtCore\""
    "#include <qstring.h>")
  math(EXPR index "${index} + 1")
  file(WRITE ${WORK_DIR}/qt${index}/sub/Window.cpp "int a;\n${line}\n")
  expect_include_check(${WORK_DIR}/qt${index} FALSE)
endforeach()

# The link check: a target under the guarded folder linking Qt, directly or through another
# target, fails the configure step.
function(expect_configure name link should_pass)
  set(project ${WORK_DIR}/${name})
  file(WRITE ${project}/CMakeLists.txt "
cmake_minimum_required(VERSION 3.25)
project(ForbidQt${name} NONE)
include(${VELMORA_CMAKE_DIR}/ForbidQt.cmake)
add_library(Qt6::Widgets INTERFACE IMPORTED)
add_library(middle INTERFACE)
target_link_libraries(middle INTERFACE ${link})
add_subdirectory(core)
")
  file(WRITE ${project}/core/CMakeLists.txt "
add_library(core INTERFACE)
velmora_forbid_qt(\${CMAKE_CURRENT_SOURCE_DIR} core)
target_link_libraries(core INTERFACE middle)
")
  file(WRITE ${project}/core/Core.h "#include <vector>\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${project} -B ${project}/build
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(should_pass AND NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}: a project without Qt was refused:\n${out}")
  elseif(NOT should_pass AND rc EQUAL 0)
    message(FATAL_ERROR "${name}: a project linking ${link} passed")
  elseif(NOT should_pass AND NOT out MATCHES "must not link Qt")
    message(FATAL_ERROR "${name}: unexpected message:\n${out}")
  endif()
endfunction()

expect_configure(clean "m" TRUE)
expect_configure(imported "Qt6::Widgets" FALSE)
expect_configure(library_file "/usr/lib/x86_64-linux-gnu/libQt6Core.so" FALSE)
expect_configure(binding "poppler-qt6" FALSE)
expect_configure(link_only "$<LINK_ONLY:Qt6::Widgets>" FALSE)
message(STATUS "the Qt guard refuses Qt includes and libraries")
