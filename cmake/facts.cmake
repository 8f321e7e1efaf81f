# SPDX-License-Identifier: MIT
# The facts the build shares with the program (the cue files, the icon's sides), as
# tools/facts prints them: compiled and run here, while the build is configured, so
# that no build step reads C++ source. The compiler lists the headers it read (-H);
# a change to any of them configures the build again.
try_run(facts_exit facts_built
    SOURCES ${PROJECT_SOURCE_DIR}/tools/facts/main.cpp
    NO_CACHE
    CMAKE_FLAGS -DINCLUDE_DIRECTORIES=${PROJECT_SOURCE_DIR}
    COMPILE_DEFINITIONS -H
    CXX_STANDARD 20
    CXX_STANDARD_REQUIRED ON
    CXX_EXTENSIONS OFF
    COMPILE_OUTPUT_VARIABLE facts_log
    RUN_OUTPUT_STDOUT_VARIABLE zarpeta_facts)
if(NOT facts_built OR NOT facts_exit EQUAL 0)
    message(FATAL_ERROR "tools/facts did not build or run:\n${facts_log}")
endif()
string(REGEX MATCHALL "\n\\.+ [^\n]+" facts_headers "${facts_log}")
list(TRANSFORM facts_headers REPLACE "^\n\\.+ " "")
foreach(header ${PROJECT_SOURCE_DIR}/tools/facts/main.cpp ${facts_headers})
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${header} NORMALIZE ours)
    if(ours)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
    endif()
endforeach()

# zarpeta_fact(VAR NAME): the fact NAME, a list where it has several values, in VAR.
function(zarpeta_fact var name)
    if(NOT zarpeta_facts MATCHES "(^|\n)${name}=([^\n]*)")
        message(FATAL_ERROR "tools/facts prints no ${name}")
    endif()
    separate_arguments(value UNIX_COMMAND "${CMAKE_MATCH_2}")
    set(${var} ${value} PARENT_SCOPE)
endfunction()
