# SPDX-License-Identifier: MIT
zarpeta_test(render_tests
    SOURCES render_test.cpp
    LIBS zarpeta_render)
target_compile_definitions(render_tests
    PRIVATE ZARPETA_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
