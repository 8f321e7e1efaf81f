# SPDX-License-Identifier: MIT
# Installation and the Debian package: the executable with its desktop entry, its
# icon in the hicolor theme and its AppStream metainfo.
include(GNUInstallDirs)

set(zarpeta_metainfo ${CMAKE_BINARY_DIR}/assets/org.example.zarpeta.metainfo.xml)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/desktop/org.example.zarpeta.metainfo.xml.in
               ${zarpeta_metainfo} @ONLY)

if(TARGET zarpeta)
    install(TARGETS zarpeta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/desktop/zarpeta.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/assets/icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME zarpeta.png)
install(FILES ${zarpeta_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarpeta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Zarpeta)
set(CPACK_PACKAGE_CONTACT "Zarpeta <zarpeta@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: clear the wall of blocks before the bar grows")
set(CPACK_PACKAGE_DESCRIPTION
    "A small arcade game with a Spanish user interface. A launcher follows the mouse and\n"
    "fires at a wall of coloured blocks, while a bar slides between them and grows with\n"
    "every shot it catches. Destroy 100 blocks before the bar reaches its tenth length.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zarpeta <zarpeta@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by no library lookup: the text is drawn in Liberation Serif.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS pulseaudio)
include(CPack)
