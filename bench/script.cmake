# SPDX-License-Identifier: MIT
add_executable(zarpeta-bench-script script_bench.cpp)
target_link_libraries(zarpeta-bench-script PRIVATE benchmark::benchmark_main)
target_compile_definitions(zarpeta-bench-script
    PRIVATE ZARPETA_SCRIPT_PROGRAM="$<TARGET_FILE:zarpeta-script>")
add_dependencies(zarpeta-bench-script zarpeta-script)
