# Installation and packages: a .deb on Linux, a .zip for Windows.
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS demostamp RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  install(TARGETS demostamp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file(doc/demostamp.1.in demostamp.1 @ONLY)
  # Debian policy wants manual pages compressed, reproducibly (-n: no name or time stamp).
  set(manual ${CMAKE_CURRENT_BINARY_DIR}/demostamp.1.gz)
  add_custom_command(OUTPUT ${manual}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_BINARY_DIR}/demostamp.1 > ${manual}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/demostamp.1 VERBATIM)
  add_custom_target(manual ALL DEPENDS ${manual})
  install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
endif()

set(CPACK_PACKAGE_NAME demostamp)
set(CPACK_PACKAGE_VENDOR "The demostamp developers")
set(CPACK_PACKAGE_CONTACT "The demostamp developers <demostamp@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep demo recording scripts stamped with the current time")
set(CPACK_PACKAGE_DESCRIPTION
    "demostamp runs beside a host application that records demos. Once per\n\
interval it rewrites nine two-line console scripts in its current directory\n\
so that the host's autorec alias always starts a recording named after the\n\
current date, time and tag.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
