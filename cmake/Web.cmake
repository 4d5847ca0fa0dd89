# The browser build (emscripten, wasm32): what the game's code needs there, the page, and the
# tests under node.

# Exceptions are caught as on the desktop (a platform error is reported, not a crash). Boost
# 1.74 with emscripten's libc++ 19 needs the old function base class switched off.
add_compile_options(-fexceptions)
add_compile_definitions(BOOST_NO_CXX98_FUNCTION_BASE)
# npm's binaryen cannot legalise 64-bit integers, so they cross to JavaScript as BigInt.
set(VOIDROCKS_WEB_STACK_BYTES 1048576)
add_link_options(-fexceptions -sWASM_BIGINT=1 -sALLOW_MEMORY_GROWTH=1
                 -sSTACK_SIZE=${VOIDROCKS_WEB_STACK_BYTES})

# The game's objects are optimised once by the compiler and shared by the page and the tests;
# the link decides the rest. Only the page gets binaryen's optimiser (npm's binaryen is
# JavaScript and takes minutes on it); the tests link at -O1, which skips it.
set(VOIDROCKS_WEB_PAGE_LINK_OPT -O2)
set(VOIDROCKS_WEB_TESTS_LINK_OPT -O1)

# The page: voidrocks.js, voidrocks.wasm, the Assets folder preloaded as voidrocks.data, and
# index.html beside them.
function(voidrocks_web_page target)
    set_target_properties(${target} PROPERTIES SUFFIX ".js")
    target_link_options(${target} PRIVATE ${VOIDROCKS_WEB_PAGE_LINK_OPT} -sENVIRONMENT=web
        "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/Assets@/Assets")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
        ${PROJECT_SOURCE_DIR}/web/index.html)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/web/index.html
            $<TARGET_FILE_DIR:${target}>/index.html)
endfunction()

# A test program run by node, with the host's files as web/NodeTestFiles.js mounts them.
function(voidrocks_web_tests target)
    target_link_options(${target} PRIVATE ${VOIDROCKS_WEB_TESTS_LINK_OPT} -sENVIRONMENT=node -sEXIT_RUNTIME=1 -lnodefs.js
        "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/web/NodeTestFiles.js")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
        ${PROJECT_SOURCE_DIR}/web/NodeTestFiles.js)
endfunction()
