# SPDX-License-Identifier: MIT
# The desktop entry and the AppStream metainfo must pass their validators.
if(ZARPETA_WITH_SHELL)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
    find_program(APPSTREAMCLI appstreamcli REQUIRED)
    add_test(NAME packaging_desktop_entry_is_valid
             COMMAND ${DESKTOP_FILE_VALIDATE} ${PROJECT_SOURCE_DIR}/shell/desktop/example.zarpeta.zarpeta.desktop)
    add_test(NAME packaging_metainfo_is_valid
             COMMAND ${APPSTREAMCLI} validate --no-net --pedantic
                     ${CMAKE_BINARY_DIR}/assets/example.zarpeta.zarpeta.metainfo.xml)
endif()
