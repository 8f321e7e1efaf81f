# SPDX-License-Identifier: MIT
# Installation and the Debian package: the executable in the games folder, its man
# pages in English and Spanish, its desktop entry, its icons in the hicolor theme, its AppStream metainfo,
# and the changelog and copyright a distribution asks for. One changelog
# (desktop/changelog, in Debian's format) gives the package's changelog, its
# revision and the metainfo's releases.
include(GNUInstallDirs)
set(ZARPETA_INSTALL_GAMESDIR games CACHE PATH "Where the executable goes, under the prefix")
set(ZARPETA_HOMEPAGE https://www.zarpeta.example/)
set(ZARPETA_BUGTRACKER ${ZARPETA_HOMEPAGE}issues/)
set(ZARPETA_ICON_NAME zarpeta)  # the hicolor theme's name for the icons; the desktop entry's Icon
set(ZARPETA_MAINTAINER "Equipo de Zarpeta <equipo@zarpeta.example>")
set(zarpeta_desktop ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
set(zarpeta_doc ${CMAKE_INSTALL_DATADIR}/doc/zarpeta)

# ---- The changelog: revision and releases ----------------------------------------

# zarpeta_escape_xml(VAR TEXT): TEXT with &, < and > escaped, in VAR.
function(zarpeta_escape_xml var text)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    set(${var} "${text}" PARENT_SCOPE)
endfunction()

# Reads desktop/changelog into ZARPETA_RELEASES (the metainfo's <release> elements,
# newest first) and ZARPETA_DEBIAN_REVISION (the newest entry's). The newest entry
# must be this version: the package and the metainfo cannot disagree.
function(zarpeta_read_changelog file)
    file(STRINGS ${file} lines ENCODING UTF-8)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    set(releases "")
    set(notes "")  # the current entry's <li> elements
    set(item "")   # the current item, gathered over its lines
    set(newest "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^zarpeta \\(([^)-]+)-([^)]+)\\)")
            set(version ${CMAKE_MATCH_1})
            if(newest STREQUAL "")
                set(newest ${version})
                set(ZARPETA_DEBIAN_REVISION ${CMAKE_MATCH_2} PARENT_SCOPE)
            endif()
        elseif(line MATCHES "^    +(.*)")
            string(APPEND item " ${CMAKE_MATCH_1}")
        elseif(line MATCHES "^  \\* (.*)|^ -- ")
            if(NOT item STREQUAL "")
                zarpeta_escape_xml(item "${item}")
                string(APPEND notes "          <li>${item}</li>\n")
            endif()
            set(item "${CMAKE_MATCH_1}")
        endif()
        if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+)")
            set(day ${CMAKE_MATCH_1})
            set(year ${CMAKE_MATCH_3})
            list(FIND months ${CMAKE_MATCH_2} month)
            math(EXPR month "${month} + 1")
            foreach(part day month)
                string(LENGTH "${${part}}" digits)
                if(digits EQUAL 1)
                    set(${part} 0${${part}})
                endif()
            endforeach()
            string(APPEND releases "    <release version=\"${version}\" date=\"${year}-${month}-${day}\">\n"
                   "      <description>\n        <ul>\n${notes}        </ul>\n"
                   "      </description>\n    </release>\n")
            set(notes "")
            set(item "")
        endif()
    endforeach()
    if(NOT newest STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${file}: newest entry is ${newest}, the project is ${PROJECT_VERSION}")
    endif()
    string(REGEX REPLACE "\n$" "" releases "${releases}")
    set(ZARPETA_RELEASES "${releases}" PARENT_SCOPE)
endfunction()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${zarpeta_desktop}/changelog ${PROJECT_SOURCE_DIR}/LICENSE)
zarpeta_read_changelog(${zarpeta_desktop}/changelog)
set(zarpeta_metainfo ${CMAKE_BINARY_DIR}/assets/${ZARPETA_ID}.metainfo.xml)
configure_file(${zarpeta_desktop}/${ZARPETA_ID}.metainfo.xml.in ${zarpeta_metainfo} @ONLY)

# ---- The copyright file: the licence's text, in Debian's machine-readable form -----

file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^.*(Permission is)" "\\1" licence "${licence}")
string(REGEX REPLACE "\n+$" "" licence "${licence}")
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
file(WRITE ${CMAKE_BINARY_DIR}/assets/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: zarpeta\n"
     "Upstream-Contact: ${ZARPETA_MAINTAINER}\n"
     "Source: ${ZARPETA_HOMEPAGE}\n\n"
     "Files: *\n"
     "Copyright: 2026 the Zarpeta developers\n"
     "License: MIT\n\n"
     "License: MIT\n"
     "${licence}\n")

# ---- Compressed documents: no name and no time stamp in the gzip header ------------

find_program(GZIP gzip REQUIRED)
set(zarpeta_gzipped "")
foreach(document zarpeta.6 zarpeta.es.6 changelog)
    set(gzipped ${CMAKE_BINARY_DIR}/assets/${document}.gz)
    add_custom_command(
        OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E copy ${zarpeta_desktop}/${document}
                ${CMAKE_BINARY_DIR}/assets/${document}
        COMMAND ${GZIP} -9nf ${CMAKE_BINARY_DIR}/assets/${document}
        DEPENDS ${zarpeta_desktop}/${document}
        VERBATIM)
    list(APPEND zarpeta_gzipped ${gzipped})
endforeach()
add_custom_target(zarpeta_documents ALL DEPENDS ${zarpeta_gzipped})

# ---- What is installed ------------------------------------------------------------

if(TARGET zarpeta)
    # The window names its desktop entry, for the desktop's window matching.
    target_compile_definitions(zarpeta PRIVATE ZARPETA_DESKTOP_ID="${ZARPETA_ID}")
    install(TARGETS zarpeta RUNTIME DESTINATION ${ZARPETA_INSTALL_GAMESDIR})
endif()
# The sound stream names the desktop entry and the icon, for the desktop's mixers.
target_compile_definitions(zarpeta_sound PRIVATE ZARPETA_DESKTOP_ID="${ZARPETA_ID}"
                           ZARPETA_ICON_NAME="${ZARPETA_ICON_NAME}")
install(FILES ${CMAKE_BINARY_DIR}/assets/zarpeta.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/assets/zarpeta.es.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/es/man6
        RENAME zarpeta.6.gz)
install(FILES ${CMAKE_BINARY_DIR}/assets/changelog.gz DESTINATION ${zarpeta_doc}
        RENAME changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/assets/copyright DESTINATION ${zarpeta_doc})
install(FILES ${zarpeta_desktop}/${ZARPETA_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(side ${ZARPETA_ICON_SIDES})
    install(FILES ${CMAKE_BINARY_DIR}/assets/icons/${side}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps
            RENAME ${ZARPETA_ICON_NAME}.png)
endforeach()
install(FILES ${zarpeta_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${zarpeta_desktop}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zarpeta)

# ---- The Debian package -------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarpeta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Zarpeta developers")
set(CPACK_PACKAGE_CONTACT ${ZARPETA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: clear the wall of blocks before the bar grows")
set(CPACK_PACKAGE_DESCRIPTION
    "A small arcade game with a Spanish user interface. A launcher follows\n"
    "the mouse and fires at a wall of coloured blocks, while a bar slides\n"
    "between them and grows with every shot it catches. Destroy 100 blocks\n"
    "before the bar reaches its tenth length.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZARPETA_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZARPETA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZARPETA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by no library lookup: the text is drawn in Liberation Serif.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation")
# The sound goes to a PulseAudio server, which PipeWire's own stands in for; Qt's own
# texts (the author box's button) read in Spanish with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio, qt6-translations-l10n")
# Reproducible packages: unless the builder says otherwise, every time stamp in the
# package is the last commit's (read by cmake/cpack-epoch.cmake when cpack runs).
set(CPACK_ZARPETA_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack-epoch.cmake)
include(CPack)
