# SPDX-License-Identifier: MIT
# zarpeta-script: its parser in process, and the tool run on small scripts.
zarpeta_test(script_tests
    SOURCES ${PROJECT_SOURCE_DIR}/tests/tools/script_test.cpp
    LIBS zarpeta_script)
target_compile_definitions(script_tests
    PRIVATE ZARPETA_SCRIPT_TOOL="$<TARGET_FILE:zarpeta-script>")
add_dependencies(script_tests zarpeta-script)
