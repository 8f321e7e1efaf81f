# SPDX-License-Identifier: MIT
# Fails when any C++ source of the project differs from the checked-in .clang-format.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/runtime/*.cpp ${SOURCE_DIR}/runtime/*.h
    ${SOURCE_DIR}/game/*.cpp ${SOURCE_DIR}/game/*.h
    ${SOURCE_DIR}/render/*.cpp ${SOURCE_DIR}/render/*.h
    ${SOURCE_DIR}/shell/*.cpp ${SOURCE_DIR}/shell/*.h
    ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                RESULT_VARIABLE result ERROR_VARIABLE diagnostics)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Sources differ from .clang-format:\n${diagnostics}")
endif()
