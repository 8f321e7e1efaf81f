# SPDX-License-Identifier: MIT
# The Debian package as a distribution would take it: built twice, byte for byte the
# same; lintian without an error or a warning; unpacked into a scratch root whose
# metainfo, desktop entry, icons and manual pages pass their checks, and whose program
# runs.
#
# cmake -DBUILD_DIR=... -DSCRATCH=... -DVERSION=... -DID=... -DICON_SIDES="16;..."
#       -DLINTIAN=... -DAPPSTREAMCLI=... -DDESKTOP_FILE_VALIDATE=... -P check-package.cmake
cmake_minimum_required(VERSION 3.25)

function(fail)
    string(JOIN "" message ${ARGN})
    message(FATAL_ERROR "${message}")
endfunction()

# run(OUTPUT_VAR command...): runs the command; fails with its output unless it exits 0.
function(run var)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE code)
    if(NOT code EQUAL 0)
        string(JOIN " " command ${ARGN})
        fail("${command}: exit ${code}\n${out}")
    endif()
    set(${var} "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
set(deb_name zarpeta_${VERSION}-1_amd64.deb)
foreach(pass first second)
    run(out ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
        -B ${SCRATCH}/${pass})
    file(GLOB deb ${SCRATCH}/${pass}/zarpeta_*.deb)
    file(SHA256 "${deb}" sum_${pass})
endforeach()
if(NOT sum_first STREQUAL sum_second)
    fail("two packages of the same build differ: ${sum_first} ${sum_second}")
endif()
set(deb ${SCRATCH}/first/${deb_name})
if(NOT EXISTS ${deb})
    fail("no ${deb_name} in ${SCRATCH}/first")
endif()

# lintian reports its E: and W: tags on standard output; its own notes go elsewhere.
execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${deb} OUTPUT_VARIABLE tags
                ERROR_VARIABLE notes RESULT_VARIABLE code)
if(NOT code EQUAL 0 OR tags MATCHES "(^|\n)[EW]: ")
    fail("lintian (exit ${code}):\n${tags}${notes}")
endif()

set(root ${SCRATCH}/root)
run(out dpkg-deb -x ${deb} ${root})
run(out ${APPSTREAMCLI} validate --no-net --pedantic ${root}/usr/share/metainfo/${ID}.metainfo.xml)
run(out ${APPSTREAMCLI} validate-tree --no-net --pedantic ${root})
run(out ${DESKTOP_FILE_VALIDATE} ${root}/usr/share/applications/${ID}.desktop)

# Each icon: a PNG of its own side, 8-bit RGBA (colour type 6).
foreach(side ${ICON_SIDES})
    set(icon ${root}/usr/share/icons/hicolor/${side}x${side}/apps/zarpeta.png)
    if(NOT EXISTS ${icon})
        fail("no ${side} x ${side} icon")
    endif()
    file(READ ${icon} header OFFSET 16 LIMIT 10 HEX)
    math(EXPR side_hex "${side}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" side_hex ${side_hex})
    string(LENGTH ${side_hex} digits)
    math(EXPR pad_length "8 - ${digits}")
    string(REPEAT "0" ${pad_length} pad)
    set(expected "${pad}${side_hex}${pad}${side_hex}0806")
    if(NOT header STREQUAL expected)
        fail("${icon}: IHDR ${header}, expected ${expected} (side, side, 8-bit RGBA)")
    endif()
endforeach()

# The manual page in each language: (folder, its first section's heading).
foreach(page "man6|NAME" "es/man6|NOMBRE")
    string(REPLACE "|" ";" page "${page}")
    list(GET page 0 folder)
    list(GET page 1 heading)
    run(text gzip -cd ${root}/usr/share/man/${folder}/zarpeta.6.gz)
    if(NOT text MATCHES "\n\\.SH ${heading}\n")
        fail("man/${folder}/zarpeta.6.gz: no section ${heading}")
    endif()
endforeach()

# The installed program's command line, without a display: each case is the
# arguments, the exit code and what the output must hold. Given -platform offscreen,
# the game starts (and is stopped by the time-out): Qt took the option.
set(cases
    "--version|0|^zarpeta ${VERSION}\n$"
    "--help|0|^Uso: zarpeta \\[opciones\\]\n.*--version"
    "--bogus|2|^zarpeta: opción desconocida: --bogus\nUso: zarpeta"
    "-platform=xcb|2|^zarpeta: opción desconocida: -platform=xcb\nUso:"
    "extra|2|^zarpeta: argumento inesperado: extra\nUso:"
    "-platform|2|^zarpeta: falta el valor de la opción: -platform\nUso:"
    "-platform,offscreen|124|")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" case "${case}")
    list(POP_BACK case pattern)
    list(POP_BACK case expected)
    string(REPLACE "," ";" arguments "${case}")
    execute_process(COMMAND timeout 3 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
                            ${root}/usr/games/zarpeta ${arguments}
                    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE code)
    if(NOT code EQUAL expected OR NOT out MATCHES "${pattern}")
        fail("installed zarpeta ${arguments}: exit ${code} (not ${expected}):\n${out}")
    endif()
endforeach()
