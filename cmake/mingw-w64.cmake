# Cross-builds for 64-bit Windows with Debian's mingw-w64 compilers, against the libraries that
# scripts/install-win64.sh builds into VOIDROCKS_WIN64_PREFIX. The -posix compilers are the ones
# whose C++ library has std::thread and std::mutex. Programs built here run under Wine: CTest
# starts each test through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VOIDROCKS_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VOIDROCKS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOIDROCKS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOIDROCKS_MINGW_TRIPLE}-windres)

if(NOT VOIDROCKS_WIN64_PREFIX)
    if(DEFINED ENV{VOIDROCKS_WIN64_PREFIX})
        set(VOIDROCKS_WIN64_PREFIX $ENV{VOIDROCKS_WIN64_PREFIX})
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(VOIDROCKS_WIN64_PREFIX $ENV{XDG_CACHE_HOME}/voidrocks/win64)
    else()
        set(VOIDROCKS_WIN64_PREFIX $ENV{HOME}/.cache/voidrocks/win64)
    endif()
endif()
# try_compile projects load this file again and need the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOIDROCKS_WIN64_PREFIX)

# Headers and libraries only from mingw's sysroot and the prefix; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VOIDROCKS_MINGW_TRIPLE} ${VOIDROCKS_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
