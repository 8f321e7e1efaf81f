# SPDX-License-Identifier: MIT
# The Debian package end to end (cmake/check-package.cmake), and the builds a packager
# makes that the test run can afford (scripts/check-builds; the others by hand).
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

    # A packager's build without the test libraries, with make -j and Debian's flags.
    # It builds from scratch, so it runs alone, and once: in the full suite only.
    find_program(ZARPETA_SH sh REQUIRED)
    add_test(NAME packaging_build_without_tests
             COMMAND ${ZARPETA_SH} ${PROJECT_SOURCE_DIR}/scripts/check-builds no-tests)
    set_tests_properties(packaging_build_without_tests PROPERTIES LABELS packaging TIMEOUT 900
                         RUN_SERIAL TRUE
                         ENVIRONMENT CHECK_BUILDS_DIR=${CMAKE_CURRENT_BINARY_DIR}/builds)
endif()
