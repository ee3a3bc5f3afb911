# velmora_forbid_qt(DIR GUARDED_TARGET): keeps every source under DIR and every target defined
# there free of Qt. A Qt include fails the configure step, and the build of GUARDED_TARGET when
# it is added later; a Qt library linked (directly or through other targets) by any target
# defined under DIR fails the configure step once the whole project has been read.
include_guard(GLOBAL)

set(VELMORA_NO_QT_INCLUDES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckNoQtIncludes.cmake)
include(${VELMORA_NO_QT_INCLUDES_SCRIPT})

function(velmora_forbid_qt dir guarded)
  velmora_check_no_qt_includes("${dir}")

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${dir}/*.h ${dir}/*.hh ${dir}/*.hpp ${dir}/*.c ${dir}/*.cc ${dir}/*.cpp ${dir}/*.cxx)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${guarded}_no_qt.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DCHECK_DIR=${dir} -DSTAMP=${stamp} -P ${VELMORA_NO_QT_INCLUDES_SCRIPT}
    DEPENDS ${sources} ${VELMORA_NO_QT_INCLUDES_SCRIPT}
    COMMENT "Checking that ${dir} includes no Qt header"
    VERBATIM)
  add_custom_target(${guarded}_no_qt DEPENDS ${stamp})
  add_dependencies(${guarded} ${guarded}_no_qt)

  # Deferred arguments are expanded when the call runs, so the folder goes in as a literal.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _velmora_check_no_qt_links [[${dir}]])")
endfunction()

# True in OUT when a link item names a Qt library: an imported Qt target (Qt6::Widgets), a Qt
# library file or flag (libQt6Core.so, -lQt6Gui), or a Qt binding (poppler-qt6).
function(_velmora_is_qt_item item out)
  set(result FALSE)
  if(item MATCHES "Qt[0-9]*::" OR item MATCHES "(^|[/ ])(lib|-l)Qt[0-9]*[A-Z]"
     OR item MATCHES "^Qt[0-9]*[A-Z]" OR item MATCHES "[-_][Qq]t[56]")
    set(result TRUE)
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Walks the link items of `target` and of every target it links; fails on a Qt item.
function(_velmora_check_target_links target owner visited_var)
  set(visited ${${visited_var}})
  if(target IN_LIST visited)
    return()
  endif()
  list(APPEND visited ${target})
  set(${visited_var} ${visited} PARENT_SCOPE)

  get_target_property(type ${target} TYPE)
  set(items)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND items ${direct})
    endif()
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND items ${interface})
  endif()

  foreach(item IN LISTS items)
    # Generator expressions such as $<LINK_ONLY:Qt6::Core> keep their inner name.
    string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" item "${item}")
    _velmora_is_qt_item("${item}" is_qt)
    if(is_qt)
      message(FATAL_ERROR
        "${owner} must not link Qt, but it links ${item}"
        " (through ${target}). Keep the UI toolkit out of this folder.")
    endif()
    if(TARGET ${item})
      _velmora_check_target_links(${item} ${owner} visited)
    endif()
  endforeach()
  set(${visited_var} ${visited} PARENT_SCOPE)
endfunction()

function(_velmora_targets_in dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _velmora_targets_in(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(_velmora_check_no_qt_links dir)
  _velmora_targets_in(${dir} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY")
      continue()
    endif()
    set(visited)
    _velmora_check_target_links(${target} ${target} visited)
  endforeach()
endfunction()
