# SPDX-License-Identifier: MIT
# The cue reader, the cue schedule and the synthesised cues: no toolkit.
zarpeta_test(sound_tests
    SOURCES sound_test.cpp
    LIBS zarpeta_cues)
target_compile_definitions(sound_tests PRIVATE ZARPETA_CUE_DIR="${CMAKE_BINARY_DIR}/assets/cues")
add_dependencies(sound_tests zarpeta_cue_files)
