# SPDX-License-Identifier: MIT
# The Qt window: the play area widget, the main window and its menu, the Qt host, and
# the executable zarpeta. Links the sound output (sound.cmake, included before this).
add_library(zarpeta_shell STATIC
    accessibility.cpp
    command_line.cpp
    graphic_control.cpp
    machine.cpp
    main_window.cpp
    play_geometry.cpp
    platform.cpp
    qt_host.cpp
    stop_signals.cpp
    x11_frame.cpp
)
target_include_directories(zarpeta_shell PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(zarpeta_shell PUBLIC ZARPETA_VERSION="${PROJECT_VERSION}")
# The frame hints are set on the X window itself, through Qt's own connection; the
# Wayland compositor is asked, before Qt starts, whether it draws frames.
pkg_check_modules(ZARPETA_XCB REQUIRED IMPORTED_TARGET xcb)
pkg_check_modules(ZARPETA_WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
target_link_libraries(zarpeta_shell PUBLIC zarpeta_game zarpeta_sound Qt6::Widgets
                                    PRIVATE PkgConfig::ZARPETA_XCB PkgConfig::ZARPETA_WAYLAND)

add_executable(zarpeta main.cpp)
target_link_libraries(zarpeta PRIVATE zarpeta_shell)
