# SPDX-License-Identifier: MIT
add_executable(zarpeta-bench-render render_bench.cpp)
target_link_libraries(zarpeta-bench-render PRIVATE zarpeta_render benchmark::benchmark)
