# SPDX-License-Identifier: MIT
# The window, its menu, the play area and the Qt host, on Qt's offscreen platform.
if(TARGET zarpeta_shell)
    # Qt's imported targets are visible only where Qt was found.
    find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
    zarpeta_test(window_tests
        SOURCES window_test.cpp
        LIBS zarpeta_shell Qt6::Test)
endif()
