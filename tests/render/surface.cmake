# SPDX-License-Identifier: MIT
zarpeta_test(render_surface_tests
    SOURCES surface_test.cpp surface_box_test.cpp surface_text_test.cpp
    LIBS zarpeta_render)
