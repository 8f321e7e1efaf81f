# The cue reader, the cue schedule and the synthesised cues: no toolkit.
zarpeta_test(sound_tests
    SOURCES sound_cue_file_test.cpp sound_schedule_test.cpp sound_cues_test.cpp
    LIBS zarpeta_cues)
target_compile_definitions(sound_tests PRIVATE ZARPETA_CUE_DIR="${CMAKE_BINARY_DIR}/assets/cues")
add_dependencies(sound_tests zarpeta_cue_files)

# The Qt player and the embedded resources: only where the window is built.
if(TARGET zarpeta_sound)
    # Qt's imported targets are visible only where Qt was found.
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Multimedia)
    zarpeta_test(sound_player_tests
        SOURCES sound_player_test.cpp
        LIBS zarpeta_sound Qt6::Gui)
    target_compile_definitions(sound_player_tests
        PRIVATE ZARPETA_CUE_DIR="${CMAKE_BINARY_DIR}/assets/cues")
endif()
