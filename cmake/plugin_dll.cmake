# The plug-in DLL, made in a tree of its own inside every win32 tree (test
# and release alike), so that the DLL the Windows tests load is built as
# the one that ships. It loads from Windows XP SP3 on: the posix thread
# model's runtime (winpthreads, linked in by -static) imports GetTickCount64,
# which XP lacks, so this tree uses the win32 thread model, whose runtime
# calls nothing newer than XP. The rest of the win32 tree keeps the posix
# model, which GoogleTest and the host stand-in need (std::thread,
# std::mutex); the Windows tests that link the plug-in's code directly
# (nimbrel_win32) so run it compiled with that model.
#
# The DLL lands in this tree's bin/, beside the host stand-in; the target
# nimbrel_plugin builds it, and this tree's install rules take it from the
# inner tree's.
include(ExternalProject)
set(plugin_tree ${CMAKE_BINARY_DIR}/plugin)
ExternalProject_Add(nimbrel_plugin
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${plugin_tree}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DNIMBREL_MINGW_THREADS=win32
        -DNIMBREL_PLUGIN_ONLY=ON
        -DBUILD_TESTING=OFF
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
        -DNIMBREL_WEATHER_SERVICE_URL=${NIMBREL_WEATHER_SERVICE_URL}
        -DNIMBREL_TRANSLATION_SERVICE_URL=${NIMBREL_TRANSLATION_SERVICE_URL}
        -DNIMBREL_HTTP_DEBUG_LOG=${NIMBREL_HTTP_DEBUG_LOG}
    # The inner build runs on every build (a no-op when nothing changed), and
    # with two jobs at most: it does not share the outer build's job count.
    # Its output passes as it comes (ninja's console), so the progress that
    # scripts/run shows moves during the minutes it takes.
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${plugin_tree} --parallel 2
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON
    INSTALL_COMMAND "")
install(SCRIPT ${plugin_tree}/cmake_install.cmake)
