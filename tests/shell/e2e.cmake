# SPDX-License-Identifier: MIT
# End-to-end: the real window under a private Xvfb, with no window manager or with
# one, or (wayland.py) under a sway nested in it, driven through XTest and read from
# screenshots. Each script starts and stops its own display server (and window manager and
# sound server) through driver.py; a missing tool makes it skip (exit code 77). wm.py
# runs once per window manager (mutter also as GNOME's Wayland compositor, with its
# Xwayland), sound.py once per sound server. Debian's own interpreter: python3-xlib,
# python3-numpy and pyatspi are its packages.
if(TARGET zarpeta)
    find_program(ZARPETA_E2E_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
    foreach(run window sound sound:pipewire scale faults wm:metacity wm:openbox wm:xfwm4
            wm:mutter wm:mutter:wayland wm:kwin_x11 wayland)
        string(REPLACE ":" ";" words ${run})
        list(POP_FRONT words script)
        string(REPLACE ":" "_" name ${run})
        add_test(NAME e2e_${name}
                 COMMAND ${ZARPETA_E2E_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.py
                         $<TARGET_FILE:zarpeta> ${words})
        # One at a time: they time the game on screen and share the two cores. Each
        # takes 3 to 25 s on a quiet machine and up to ten times that at a load of 20;
        # the scripts' own deadlines catch a program that fails, the timeout only a hang.
        # The driver's compiled copy is not left in the source tree.
        set_tests_properties(e2e_${name} PROPERTIES
            LABELS e2e TIMEOUT 600 SKIP_RETURN_CODE 77 RESOURCE_LOCK zarpeta_e2e
            ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
    endforeach()
endif()
