# SPDX-License-Identifier: MIT
zarpeta_test(runtime_tests
    SOURCES runtime_test.cpp
    LIBS zarpeta_runtime)
