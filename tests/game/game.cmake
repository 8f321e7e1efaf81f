# SPDX-License-Identifier: MIT
zarpeta_test(game_tests
    SOURCES game_fixture.cpp wall_test.cpp bar_test.cpp shot_test.cpp golden_test.cpp composition_test.cpp
    LIBS zarpeta_headless)
target_compile_definitions(game_tests PRIVATE
    ZARPETA_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")

zarpeta_test(game_stress_tests
    SOURCES stress_test.cpp
    LIBS zarpeta_headless)
