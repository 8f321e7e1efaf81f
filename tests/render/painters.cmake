# SPDX-License-Identifier: MIT
zarpeta_test(render_painters_tests
    SOURCES painters_test.cpp
    LIBS zarpeta_render)
target_compile_definitions(render_painters_tests
    PRIVATE ZARPETA_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
