# SPDX-License-Identifier: MIT
# zarpeta-script: scenario files run through the tool and compared with what they gave
# before, output for output and file for file (the writes with their size limited); and
# what no scenario file can hold.
foreach(name drawing surfaces errors game writes:limited)
    string(REPLACE ":" ";" words ${name})
    list(POP_FRONT words name)
    set(scenario ${CMAKE_CURRENT_SOURCE_DIR}/scenarios/${name})
    add_test(NAME script_${name}
             COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run-scenarios.sh
                     $<TARGET_FILE:zarpeta-script> ${scenario}.scenario ${scenario}.expected ${words})
endforeach()

zarpeta_test(script_tests SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/script_test.cpp)
target_compile_definitions(script_tests
    PRIVATE ZARPETA_SCRIPT_TOOL="$<TARGET_FILE:zarpeta-script>")
add_dependencies(script_tests zarpeta-script)
