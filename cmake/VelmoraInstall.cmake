# The installation: `cmake --install build --prefix PREFIX` puts the programs users call in
# PREFIX/bin; the desktop program's own outside programs (the converters, their helpers and the
# cleaning scripts) in PREFIX/libexec/velmora, where only it looks, so that they never shadow a
# system program of the same name on PATH (our web-page front is called wkhtmltopdf); the
# libraries and the component servers in PREFIX/lib/velmora (the programs find them through
# $ORIGIN/../lib/velmora), the help pages in PREFIX/share/velmora/help, the manual pages and
# bash completions, the desktop entry, its icons and the software-centre metadata where
# desktops look for them, and writes the installation's registry PREFIX/lib/velmora/registry by
# running the installed regsvr on the installed servers. With DESTDIR (a package being staged)
# the registry names the modules where they will be, without DESTDIR.
#
# velmora_install_rules() is called once the whole project has been read (deferred from
# desktop/ui), so that it sees the targets of every folder.
include_guard(GLOBAL)

option(VELMORA_INSTALL_CUPS_BACKEND "Link the print server's backend velmora on install" OFF)
set(VELMORA_CUPS_BACKEND_DIR "/usr/lib/cups/backend" CACHE PATH
    "The print server's backend folder (under DESTDIR)")

function(velmora_install_rules)
  set(programs gridane turnelle_command scanvey regsvr velmorade velmora-cups)
  foreach(target IN LISTS programs)
    if(TARGET ${target})
      install(TARGETS ${target} RUNTIME DESTINATION bin OPTIONAL)
    endif()
  endforeach()
  set(helpers libexec/velmora)
  if(TARGET pictavo)
    install(TARGETS pictavo RUNTIME DESTINATION ${helpers} OPTIONAL)
  endif()
  foreach(target printpdf padwick gridane_server turnelle_server)
    if(TARGET ${target})
      install(TARGETS ${target} LIBRARY DESTINATION lib/velmora OPTIONAL)
    endif()
  endforeach()

  # Scripts copied beside the programs at build time (the cleaning scripts and the converters).
  set(scripts koblin koblinp quillet brannock pictavo-draw office-server wkhtmltopdf)
  foreach(script IN LISTS scripts)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/bin/${script} DESTINATION ${helpers} OPTIONAL)
  endforeach()
  # The Python modules the converters import: read, never run.
  foreach(module converter_program.py office_service.py office_client.py velmora_office.py office_profile.py
                 document_kind.py package_links.py rtf_fields.py)
    install(FILES ${CMAKE_BINARY_DIR}/bin/${module} DESTINATION ${helpers} OPTIONAL)
  endforeach()
  # Byte-compiled where a direct installation puts them; a package does it when it is
  # installed (packaging/postinst) and removes it with itself (packaging/prerm).
  install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
      execute_process(COMMAND /usr/bin/python3 -m compileall -q
                              \"\${CMAKE_INSTALL_PREFIX}/${helpers}\")
    endif()
  ")

  # The print server's backend "velmora": a link to the installed velmora-cups in the server's
  # backend folder (the package turns it on; a source installation runs velmora-cups --install).
  if(VELMORA_INSTALL_CUPS_BACKEND AND TARGET velmora-cups)
    install(CODE "
      set(folder \"\$ENV{DESTDIR}${VELMORA_CUPS_BACKEND_DIR}\")
      file(MAKE_DIRECTORY \"\${folder}\")
      file(CREATE_LINK \"\${CMAKE_INSTALL_PREFIX}/bin/velmora-cups\" \"\${folder}/velmora\" SYMBOLIC)
      message(STATUS \"Installing: \${folder}/velmora\")
    ")
  endif()

  # The hot folder's systemd user unit, naming the installed program by its full path.
  install(CODE "
    set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/velmora-watch@.service\")
    file(READ \"${CMAKE_SOURCE_DIR}/desktop/velmorade/share/velmora-watch@.service\" unit)
    string(REPLACE \"@VELMORA_BIN@\" \"\${CMAKE_INSTALL_PREFIX}/bin\" unit \"\${unit}\")
    message(STATUS \"Installing: \${target}\")
    file(WRITE \"\${target}\" \"\${unit}\")
  ")

  install(DIRECTORY ${CMAKE_BINARY_DIR}/share/velmora/help DESTINATION share/velmora
          OPTIONAL)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/share/man ${CMAKE_BINARY_DIR}/share/bash-completion
          DESTINATION share OPTIONAL)
  set(ui ${CMAKE_SOURCE_DIR}/desktop/ui/share)
  install(FILES ${ui}/icons/velmorade.svg DESTINATION share/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${ui}/icons/${size}/velmorade.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/share/metainfo/org.example.velmora.velmorade.metainfo.xml
          DESTINATION share/metainfo)

  # The desktop entry names the installed program by its full path, so that the menu entry
  # works whether or not PREFIX/bin is on the user's PATH.
  install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    set(target \"\$ENV{DESTDIR}\${prefix}/share/applications/velmorade.desktop\")
    file(READ \"${ui}/applications/velmorade.desktop\" entry)
    string(REPLACE \"Exec=velmorade\" \"Exec=\${prefix}/bin/velmorade\" entry \"\${entry}\")
    string(REPLACE \"TryExec=velmorade\" \"TryExec=\${prefix}/bin/velmorade\" entry \"\${entry}\")
    message(STATUS \"Installing: \${target}\")
    file(WRITE \"\${target}\" \"\${entry}\")
  ")

  # The registry of the installation, written by the installed regsvr for the installed
  # servers (their registration records their own paths).
  install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(libraries \"\${root}/lib/velmora\")
    set(registry \"\${libraries}/registry\")
    file(REMOVE \"\${registry}\")
    foreach(server libgridane.so libturnelle.so)
      if(EXISTS \"\${libraries}/\${server}\")
        execute_process(
          COMMAND \${CMAKE_COMMAND} -E env VELMORA_REGISTRY=\${registry}
                  \"\${root}/bin/regsvr\" -s \"\${libraries}/\${server}\"
          RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
          message(FATAL_ERROR \"regsvr could not register \${server} in \${registry}\")
        endif()
        message(STATUS \"Registered: \${server} in \${registry}\")
      endif()
    endforeach()
    file(REMOVE \"\${registry}.lock\")
    if(NOT \"\$ENV{DESTDIR}\" STREQUAL \"\" AND EXISTS \"\${registry}\")
      file(READ \"\${registry}\" keys)
      string(REPLACE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\" \"\${CMAKE_INSTALL_PREFIX}/\" keys \"\${keys}\")
      file(WRITE \"\${registry}\" \"\${keys}\")
    endif()
  ")

  # Let the desktop know about the new entry and icon; missing tools are no failure.
  install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
      find_program(update_desktop update-desktop-database)
      if(update_desktop)
        execute_process(COMMAND \${update_desktop} -q \"\${CMAKE_INSTALL_PREFIX}/share/applications\"
                        RESULT_VARIABLE ignored ERROR_QUIET)
      endif()
      find_program(update_icons gtk-update-icon-cache)
      if(update_icons AND EXISTS \"\${CMAKE_INSTALL_PREFIX}/share/icons/hicolor/index.theme\")
        execute_process(COMMAND \${update_icons} -q -t \"\${CMAKE_INSTALL_PREFIX}/share/icons/hicolor\"
                        RESULT_VARIABLE ignored ERROR_QUIET)
      endif()
    endif()
  ")
endfunction()
