# SPDX-License-Identifier: MIT
zarpeta_test(game_tests
    SOURCES game_test.cpp
    LIBS zarpeta_headless)

# Real threads, no test clock: a binary of its own.
zarpeta_test(game_stress_tests
    SOURCES stress_test.cpp
    LIBS zarpeta_headless)
