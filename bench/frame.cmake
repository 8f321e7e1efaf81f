# SPDX-License-Identifier: MIT
# One composed frame with our drawing layer, and the same frame with QPainter.
find_package(Qt6 COMPONENTS Gui)
if(Qt6Gui_FOUND)
    add_executable(zarpeta-bench-frame frame_bench.cpp)
    target_link_libraries(zarpeta-bench-frame PRIVATE zarpeta_render zarpeta_bench_allocations
                          benchmark::benchmark Qt6::Gui)
endif()
