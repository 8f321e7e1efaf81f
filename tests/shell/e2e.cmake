# SPDX-License-Identifier: MIT
# End-to-end: the real window under a private Xvfb with no window manager, driven with
# xdotool and read from screenshots. Each script starts and stops its own X server
# (and sound server); a missing tool makes it skip (exit code 77).
if(TARGET zarpeta)
    find_program(ZARPETA_BASH bash REQUIRED)
    foreach(script window shot author quit sound)
        add_test(NAME e2e_${script}
                 COMMAND ${ZARPETA_BASH} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh
                         $<TARGET_FILE:zarpeta>)
        # One at a time: they time the game on screen and share the two cores.
        set_tests_properties(e2e_${script} PROPERTIES
            LABELS e2e TIMEOUT 180 SKIP_RETURN_CODE 77 RESOURCE_LOCK zarpeta_e2e)
    endforeach()
endif()
