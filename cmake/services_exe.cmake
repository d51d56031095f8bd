# The gateway for Windows, nimbrel-services.exe, made in a tree of its own
# inside every win32 tree: the services' sources built for 64-bit Windows
# (cmake/x86_64-w64-mingw32.cmake). 64-bit, because Wine runs a 64-bit
# program natively everywhere, while on a machine that runs 32-bit code
# through qemu a 32-bit Windows program cannot serve on a socket.
#
# The program lands in this tree's bin/, its archive in bin/data/; the
# target nimbrel_services_exe builds them, and this tree's install rules
# take them from the inner tree's. The win32 and release trees share one
# inner tree, build/services64 beside them, built as released: the
# program's Boost.Beast code takes minutes to compile, once is enough.
include(ExternalProject)
get_filename_component(services_tree ${CMAKE_BINARY_DIR}/../services64 ABSOLUTE)
ExternalProject_Add(nimbrel_services_exe
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${services_tree}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/x86_64-w64-mingw32.cmake
        -DNIMBREL_SERVICES_ONLY=ON
        -DBUILD_TESTING=OFF
        -DCMAKE_BUILD_TYPE=Release
        # -O2 rather than Release's -O3: the same program for its users, for
        # less of the minutes its Beast code takes to compile.
        "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${services_tree} --parallel 2
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${services_tree}/bin/nimbrel-services.exe
            ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/nimbrel-services.exe
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${services_tree}/bin/data ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/data
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
install(SCRIPT ${services_tree}/cmake_install.cmake)
