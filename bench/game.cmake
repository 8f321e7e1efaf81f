# SPDX-License-Identifier: MIT
add_executable(zarpeta-bench-game game_bench.cpp)
target_link_libraries(zarpeta-bench-game PRIVATE zarpeta_headless zarpeta_bench_allocations
                      benchmark::benchmark_main)
