# SPDX-License-Identifier: MIT
zarpeta_test(game_state_tests
    SOURCES state_test.cpp
    LIBS zarpeta_headless)
