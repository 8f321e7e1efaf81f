# SPDX-License-Identifier: MIT
add_executable(zarpeta-bench-runtime runtime_bench.cpp)
target_link_libraries(zarpeta-bench-runtime PRIVATE zarpeta_runtime benchmark::benchmark_main)
