# Installed like a Linux program: the programs, a desktop entry, icons, man pages and the
# documentation under the GNU install folders, and a Debian package of them through CPack.

set(KAVEX_PROGRAMS kavex-convert kavex-sample)
if(TARGET kavex)
  list(APPEND KAVEX_PROGRAMS kavex)
endif()
install(TARGETS ${KAVEX_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/batch.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET kavex)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kavex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kavex.svg DESTINATION ${_icons}/scalable/apps)
  foreach(_size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/kavex-${_size}.png
            DESTINATION ${_icons}/${_size}x${_size}/apps RENAME kavex.png)
  endforeach()
endif()

# Man pages written from each program's --help at build time, so that they cannot drift from it.
find_program(KAVEX_HELP2MAN help2man)
if(KAVEX_HELP2MAN)
  set(_name_kavex "convert and resize CT data sets in a dialog window")
  set(_name_kavex-convert "convert and resize CT data sets from the command line")
  set(_name_kavex-sample "write a synthetic CT data set")
  set(_see_also ${PROJECT_SOURCE_DIR}/packaging/see-also.h2m)
  set(_pages)
  foreach(_program IN LISTS KAVEX_PROGRAMS)
    # Compressed, as Debian's policy asks of man pages.
    set(_page ${CMAKE_BINARY_DIR}/man/${_program}.1)
    add_custom_command(OUTPUT ${_page}.gz
      COMMAND ${KAVEX_HELP2MAN} --no-info --no-discard-stderr "--name=${_name_${_program}}"
              --include=${_see_also} --output=${_page} $<TARGET_FILE:${_program}>
      COMMAND gzip -9nf ${_page}
      DEPENDS ${_program} ${_see_also}
      COMMENT "Writing the man page ${_program}.1")
    list(APPEND _pages ${_page}.gz)
  endforeach()
  add_custom_target(kavex_man ALL DEPENDS ${_pages})
  install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no man pages are written or installed")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorell)
set(CPACK_PACKAGE_CONTACT "Kavex developers <kavex@quorell.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert and resize tomographic (CT) data sets")
set(CPACK_PACKAGE_DESCRIPTION
    "Kavex converts and resizes CT data sets: folders of numbered grey slice\n"
    "images (8-bit palette BMP, 16-bit TIFF, 8-bit grey JPEG) with their side\n"
    "images, text files and log. It reduces the slices by 2, 4 or 8 with three\n"
    "interpolation modes, renumbers, inverts and converts them, and writes a\n"
    ".vgi volume description. The package holds the desktop program kavex, the\n"
    "command-line converter kavex-convert and kavex-sample, which writes a\n"
    "synthetic data set.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET kavex)
  # The window system plug-ins are only a recommendation of Qt's, but the dialog cannot open without.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
