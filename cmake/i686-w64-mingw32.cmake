# Cross build for 32-bit Windows with Debian's mingw-w64. The posix thread
# model (the default) has std::mutex and std::thread, which GoogleTest and
# the host stand-in need; its runtime (winpthreads) imports GetTickCount64,
# which Windows XP lacks. The plug-in DLL is built with the win32 thread
# model (NIMBREL_MINGW_THREADS=win32, cmake/plugin_dll.cmake), whose runtime
# calls nothing newer than XP.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT NIMBREL_MINGW_THREADS)
    set(NIMBREL_MINGW_THREADS posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NIMBREL_MINGW_THREADS)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${NIMBREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${NIMBREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Everything links the runtime statically, so nothing needs libstdc++,
# libgcc or libwinpthread DLLs: only system DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
