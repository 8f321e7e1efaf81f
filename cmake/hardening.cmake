# SPDX-License-Identifier: MIT
# The flags a distribution builds its packages with: a stack protector, fortified
# library calls, a read-only relocation table bound at start-up, and a
# position-independent executable. A packager's own fortify level
# (dpkg-buildflags) is kept rather than redefined.
option(ZARPETA_HARDENING "Build with a distribution's hardening flags" ON)

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

if(ZARPETA_HARDENING AND NOT ZARPETA_SANITIZE)
    add_compile_options(-fstack-protector-strong)
    string(FIND "${CMAKE_CXX_FLAGS}" "_FORTIFY_SOURCE" fortify_given)
    if(fortify_given EQUAL -1)
        # Fortified calls need the optimiser, which a Debug build goes without.
        add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# The same sources give the same objects in any folder: no absolute path of the
# source or the build tree is kept, in the code or in its debug information (the
# later map, of the build tree, wins inside it).
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
