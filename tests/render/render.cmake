# SPDX-License-Identifier: MIT
zarpeta_test(render_tests
    SOURCES render_test.cpp
    LIBS zarpeta_render)

# Counted by the benchmarks' operator new: built where they are.
if(ZARPETA_WITH_BENCH AND NOT ZARPETA_SANITIZE)
    zarpeta_test(render_allocation_tests
        SOURCES allocations_test.cpp
        LIBS zarpeta_render zarpeta_bench_allocations)
endif()
