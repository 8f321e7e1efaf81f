# SPDX-License-Identifier: MIT
# The sound player and the embedded resources: the cues (one a row of game/cue.h) and
# the window icons, both made at build time by tools/cues and tools/icon.
add_library(zarpeta_sound STATIC sound.cpp)
target_include_directories(zarpeta_sound PUBLIC ${PROJECT_SOURCE_DIR})
pkg_check_modules(ZARPETA_PULSE REQUIRED IMPORTED_TARGET libpulse)
target_link_libraries(zarpeta_sound PUBLIC Qt6::Core PRIVATE zarpeta_cues PkgConfig::ZARPETA_PULSE)

set(zarpeta_assets ${CMAKE_BINARY_DIR}/assets)
set(zarpeta_asset_files ${ZARPETA_CUE_FILES} ${ZARPETA_ICON_FILES})
set_source_files_properties(${zarpeta_asset_files} PROPERTIES GENERATED TRUE)
# Resource paths: ":/zarpeta/cues/210.wav" ... and ":/zarpeta/icons/16.png" ...
# The files are made by custom commands in tools/, which a Makefile of this folder
# cannot see: rcc's own targets (an object library beside zarpeta_sound) wait for
# the targets that make them, or `make -j` may run rcc first. Format 1 keeps no
# file times, so two builds embed the same bytes.
qt_add_resources(zarpeta_sound zarpeta_assets
    PREFIX /zarpeta
    BASE ${zarpeta_assets}
    FILES ${zarpeta_asset_files}
    OPTIONS --format-version 1
    OUTPUT_TARGETS zarpeta_asset_targets)
foreach(target zarpeta_sound ${zarpeta_asset_targets})
    add_dependencies(${target} zarpeta_cue_files zarpeta_icon_file)
endforeach()
