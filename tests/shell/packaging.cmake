# SPDX-License-Identifier: MIT
# The Debian package end to end (cmake/check-package.cmake), and every build a packager
# makes (scripts/check-builds).
if(ZARPETA_WITH_SHELL)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
    find_program(APPSTREAMCLI appstreamcli REQUIRED)
    find_program(LINTIAN lintian REQUIRED)
    add_test(NAME packaging_deb
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                     -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/package -DVERSION=${PROJECT_VERSION}
                     -DID=${ZARPETA_ID} "-DICON_SIDES=${ZARPETA_ICON_SIDES}"
                     -DLINTIAN=${LINTIAN} -DAPPSTREAMCLI=${APPSTREAMCLI}
                     -DDESKTOP_FILE_VALIDATE=${DESKTOP_FILE_VALIDATE}
                     -P ${PROJECT_SOURCE_DIR}/cmake/check-package.cmake)
    set_tests_properties(packaging_deb PROPERTIES LABELS packaging TIMEOUT 300)

    # The builds a packager makes, from scratch, each in a folder of its own: with make
    # -j and Ninja, GCC and Clang, Debian's flags, without the test libraries, and the
    # same package from two folders. Each takes both cores, so they run alone, and once:
    # in the full suite only.
    find_program(ZARPETA_SH sh REQUIRED)
    set(check_builds ${PROJECT_SOURCE_DIR}/scripts/check-builds)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${check_builds})
    execute_process(COMMAND ${ZARPETA_SH} ${check_builds} --list OUTPUT_VARIABLE builds
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(builds UNIX_COMMAND "${builds}")
    foreach(build ${builds})
        string(REPLACE "-" "_" name ${build})
        add_test(NAME packaging_build_${name}
                 COMMAND ${ZARPETA_SH} ${check_builds} ${build})
        set_tests_properties(packaging_build_${name} PROPERTIES LABELS packaging TIMEOUT 900
                             RUN_SERIAL TRUE
                             ENVIRONMENT CHECK_BUILDS_DIR=${CMAKE_CURRENT_BINARY_DIR}/builds)
    endforeach()
endif()
