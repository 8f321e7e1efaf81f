# SPDX-License-Identifier: MIT
# Read by cpack before it packs: without SOURCE_DATE_EPOCH from the builder, the
# package's time stamps are the last commit's, so one commit gives one package.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CPACK_ZARPETA_SOURCE_DIR} log -1 --format=%ct
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE failed ERROR_QUIET)
        if(NOT failed AND epoch MATCHES "^[0-9]+$")
            set(ENV{SOURCE_DATE_EPOCH} ${epoch})
        endif()
    endif()
endif()
