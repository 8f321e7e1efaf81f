# SPDX-License-Identifier: MIT
zarpeta_test(render_tests
    SOURCES render_test.cpp
    LIBS zarpeta_render)
