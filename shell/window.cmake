# SPDX-License-Identifier: MIT
# The Qt window: the play area widget, the main window and its menu, the Qt host, and
# the executable zarpeta. Needs the sound output (sound.cmake, included before this).
if(TARGET zarpeta_sound)
    add_library(zarpeta_shell STATIC
        accessibility.cpp
        graphic_control.cpp
        main_window.cpp
        qt_host.cpp
        x11_frame.cpp
    )
    target_include_directories(zarpeta_shell PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(zarpeta_shell PUBLIC ZARPETA_VERSION="${PROJECT_VERSION}")
    # The frame hints are set on the X window itself, through Qt's own connection.
    pkg_check_modules(ZARPETA_XCB REQUIRED IMPORTED_TARGET xcb)
    target_link_libraries(zarpeta_shell PUBLIC zarpeta_game zarpeta_sound Qt6::Widgets
                                        PRIVATE PkgConfig::ZARPETA_XCB)

    add_executable(zarpeta main.cpp)
    target_link_libraries(zarpeta PRIVATE zarpeta_shell)
else()
    message(STATUS "zarpeta: no sound output yet (shell/sound.cmake), so no window")
endif()
