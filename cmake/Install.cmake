# Where `cmake --install` puts the programs and the desktop files
# (GNUInstallDirs), and the Debian package made from that tree (CPack).

set(_data ${PROJECT_SOURCE_DIR}/data)
set(_generated ${PROJECT_BINARY_DIR}/data)

install(TARGETS qrptool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS qrptool-render qrptool-print RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/pravel)
install(FILES ${_data}/qrptool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME qrptool)

# Manual pages and the change log, compressed as Debian keeps them.
find_program(PRAVEL_GZIP gzip REQUIRED)
set(_compressed)
foreach(_file man/qrptool.1 man/pravel.1 debian/changelog)
  set(_out ${_generated}/${_file}.gz)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_generated}/man ${_generated}/debian
    COMMAND ${PRAVEL_GZIP} -9nc ${_data}/${_file} > ${_out}
    DEPENDS ${_data}/${_file} VERBATIM)
  list(APPEND _compressed ${_out})
endforeach()
install(FILES ${_generated}/man/qrptool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_generated}/debian/changelog.gz ${_data}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(PRAVEL_GUI)
  install(TARGETS pravel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${_generated}/man/pravel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_data}/pravel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_data}/pravel-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME pravel.xml)
  install(FILES ${_data}/pravel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME pl.brask.pravel.metainfo.xml)
  install(FILES ${_data}/pravel.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)

  # Icons: the drawings, and bitmaps of the usual sizes made from them.
  set(_hicolor ${_generated}/icons/hicolor)
  install(FILES ${_data}/icons/pravel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${_data}/icons/application-x-qrp.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
  find_program(PRAVEL_RSVG_CONVERT rsvg-convert)
  if(PRAVEL_RSVG_CONVERT)
    set(_bitmaps)
    foreach(_size 16 22 24 32 48 64 128 256)
      foreach(_icon apps/pravel mimetypes/application-x-qrp)
        get_filename_component(_name ${_icon} NAME)
        get_filename_component(_context ${_icon} DIRECTORY)
        set(_out ${_hicolor}/${_size}x${_size}/${_icon}.png)
        add_custom_command(OUTPUT ${_out}
          COMMAND ${CMAKE_COMMAND} -E make_directory ${_hicolor}/${_size}x${_size}/${_context}
          COMMAND ${PRAVEL_RSVG_CONVERT} -w ${_size} -h ${_size} -o ${_out} ${_data}/icons/${_name}.svg
          DEPENDS ${_data}/icons/${_name}.svg VERBATIM)
        list(APPEND _bitmaps ${_out})
      endforeach()
    endforeach()
    install(DIRECTORY ${_hicolor} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  else()
    message(STATUS "rsvg-convert not found: icons installed as SVG only")
  endif()
endif()
add_custom_target(pravel_data ALL DEPENDS ${_compressed} ${_bitmaps})

# The Debian package: scripts/package.sh runs cpack in a Release tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pravel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Brask)
set(CPACK_PACKAGE_CONTACT "Pravel developers <pravel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and command-line tool for saved reports")
set(CPACK_PACKAGE_DESCRIPTION
    "Pravel opens prepared reports saved as .qrp files, sequences of finished
pages each held as an enhanced metafile. The viewer shows them page by page,
prints them on CUPS printers, saves copies and exports their text as plain
text, CSV or HTML.

The qrptool command draws pages as PNG, PDF or SVG, checks reports, extracts
and packs their pages, and makes the thumbnails file managers show.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pravel.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read at run time, not linked: the faces that stand in for the reports'
# fonts, and the CUPS client for the printers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation2, fonts-liberation, fonts-crosextra-carlito, fonts-wine, cups-client")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups")
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
