# Builds for the browser (wasm32) with the emscripten that scripts/install-web.sh keeps in its
# cache, against the libraries it built there. Programs built here run under node: CTest starts
# each test through it.
if(NOT VOIDROCKS_WEB_CACHE)
    if(DEFINED ENV{VOIDROCKS_WEB_CACHE})
        set(VOIDROCKS_WEB_CACHE $ENV{VOIDROCKS_WEB_CACHE})
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(VOIDROCKS_WEB_CACHE $ENV{XDG_CACHE_HOME}/voidrocks/web)
    else()
        set(VOIDROCKS_WEB_CACHE $ENV{HOME}/.cache/voidrocks/web)
    endif()
endif()
# try_compile projects load this file again and need the same cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOIDROCKS_WEB_CACHE)

# emcc finds its configuration beside itself, so the build needs no environment of its own.
include(${VOIDROCKS_WEB_CACHE}/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Headers, libraries and packages from emscripten's sysroot and the cache's prefix only.
list(APPEND CMAKE_FIND_ROOT_PATH ${VOIDROCKS_WEB_CACHE}/prefix)
list(APPEND CMAKE_PREFIX_PATH ${VOIDROCKS_WEB_CACHE}/prefix)
