# SPDX-License-Identifier: MIT
# Fails when an include or a library link runs against the layers:
#   shell/ -> game/ -> render/, runtime/;  render/ -> runtime/;  tools/ above game/, and
#   reading shell/'s Qt-free tables (tools/facts: never a Qt header, never a shell library).
# Qt belongs to shell/ alone. Run as: cmake -DSOURCE_DIR=<tree> -P check-layers.cmake
cmake_minimum_required(VERSION 3.25)

# What each folder may include of the project, besides itself.
set(allowed_runtime "")
set(allowed_render "runtime")
set(allowed_game "render;runtime")
set(allowed_tools "shell;game;render;runtime")
set(project_folders "runtime;render;game;shell;tools")
# Qt's headers are named Q<Class>, or <QtModule/...>.
set(qt_include "^[ \t]*#[ \t]*include[ \t]*[<\"]Q[A-Za-z]")

set(violations "")

foreach(layer runtime render game tools)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
         ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.h)
    foreach(source IN LISTS sources)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "${qt_include}")
                list(APPEND violations "${source}: Qt outside shell/: ${line}")
            elseif(line MATCHES "[<\"]([a-z_]+)/[^>\"]*[>\"]")
                set(folder ${CMAKE_MATCH_1})
                if(folder IN_LIST project_folders AND NOT folder STREQUAL layer
                   AND NOT folder IN_LIST allowed_${layer})
                    list(APPEND violations "${source}: ${layer}/ includes ${folder}/: ${line}")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

# The libraries' links must follow the same arrows.
set(forbidden_links_runtime "zarpeta_render|zarpeta_game|zarpeta_headless|zarpeta_shell|Qt6")
set(forbidden_links_render "zarpeta_game|zarpeta_headless|zarpeta_shell|Qt6")
set(forbidden_links_game "zarpeta_shell|zarpeta_sound|Qt6")
foreach(layer runtime render game)
    file(GLOB_RECURSE lists ${SOURCE_DIR}/${layer}/CMakeLists.txt ${SOURCE_DIR}/${layer}/*.cmake)
    foreach(list_file IN LISTS lists)
        file(READ ${list_file} text)
        if(text MATCHES "target_link_libraries\\([^)]*(${forbidden_links_${layer}})")
            list(APPEND violations "${list_file}: ${layer}/ links ${CMAKE_MATCH_1}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n" report)
    message(FATAL_ERROR "Layers broken:\n${report}")
endif()
