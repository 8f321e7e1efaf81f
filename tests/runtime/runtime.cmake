# SPDX-License-Identifier: MIT
zarpeta_test(runtime_tests
    SOURCES random_test.cpp workers_test.cpp pacing_test.cpp
    LIBS zarpeta_runtime)
