# Fails when a C or C++ source under a folder includes a Qt header: <QString>, <QtCore/...>,
# <QtWidgets>, or the lower-case forms such as <qstring.h>.
#
# Included: defines velmora_check_no_qt_includes(DIR).
# As a script: cmake -DCHECK_DIR=DIR [-DSTAMP=FILE] -P CheckNoQtIncludes.cmake checks DIR and,
# when it is clean, touches STAMP.

function(velmora_check_no_qt_includes dir)
  file(GLOB_RECURSE sources
       ${dir}/*.h ${dir}/*.hh ${dir}/*.hpp ${dir}/*.c ${dir}/*.cc ${dir}/*.cpp ${dir}/*.cxx)
  set(offenders)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      if(line MATCHES "[<\"](Qt[A-Za-z0-9]*/|Qt[A-Z][A-Za-z0-9]*[>\"]|Q[A-Z][A-Za-z0-9]*[>\"]|q[a-z0-9_]+\\.h[>\"])")
        string(STRIP "${line}" line)
        list(APPEND offenders "${source}: ${line}")
      endif()
    endforeach()
  endforeach()
  if(offenders)
    list(JOIN offenders "\n  " text)
    message(FATAL_ERROR "Qt headers must not be included under ${dir}:\n  ${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT CHECK_DIR)
    message(FATAL_ERROR "usage: cmake -DCHECK_DIR=DIR [-DSTAMP=FILE] -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  velmora_check_no_qt_includes("${CHECK_DIR}")
  if(STAMP)
    file(TOUCH "${STAMP}")
  endif()
endif()
