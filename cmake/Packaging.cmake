# Installation layout and the Debian package.
include(GNUInstallDirs)
if(TERN_BUILD_GUI)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tern2bufr.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tern2bufr.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tern2bufr/demo)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tern2bufr")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "tern2bufr maintainers <tern2bufr@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Upper-air station message desk: BUFR, TEMP and national messages")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Library dependencies are read off the binaries; the rest is what the desk calls at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (open file, Yes/No) read their Russian texts from Qt's translation catalogues.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
