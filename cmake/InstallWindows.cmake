# Windows layout: one folder, as a player unzips it and double-clicks the game:
#   voidrocks.exe            the game, a windowed program (no console window opens with it)
#   *.dll                    every DLL it loads that Windows itself does not have
#   Assets/                  the eleven images and Retro.ttf; the game reads them from the
#                            folder it is started in, which a double-click makes this one
#   README.txt               for players
#   licences/                the game's, the font's and each bundled library's terms
# `make windows` packs it as Voidrocks-<version>-win64.zip with CPack's ZIP generator.

set_target_properties(voidrocks PROPERTIES WIN32_EXECUTABLE ON)

install(TARGETS voidrocks RUNTIME DESTINATION .)
install(DIRECTORY Assets/ DESTINATION Assets FILES_MATCHING PATTERN "*.png" PATTERN "Retro.ttf")
install(FILES packaging/README-windows.txt DESTINATION . RENAME README.txt)

# Where the DLLs come from: the libraries built for Windows by scripts/install-win64.sh, GCC's
# C++ runtime, and mingw-w64's thread library and Debian's zlib1.dll.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE gcc_runtime OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(gcc_runtime_dir ${gcc_runtime} DIRECTORY)
set(mingw_lib_dir /usr/${VOIDROCKS_MINGW_TRIPLE}/lib)
set(dll_dirs ${VOIDROCKS_WIN64_PREFIX}/bin ${gcc_runtime_dir} ${mingw_lib_dir})
install(CODE "set(voidrocks_exe \"$<TARGET_FILE:voidrocks>\")
set(voidrocks_dll_dirs \"${dll_dirs}\")
set(voidrocks_objdump \"${CMAKE_OBJDUMP}\")
set(voidrocks_strip \"${CMAKE_STRIP}\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/BundleDlls.cmake)

# Each licence as a text file of its own. FreeType is used under its FreeType License.
set(licence_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging/licences)
function(voidrocks_licence name)
    set(text "")
    foreach(file ${ARGN})
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "${file} not found: the licence of ${name} cannot be shipped")
        endif()
        file(READ ${file} part)
        string(APPEND text "${part}\n")
    endforeach()
    file(WRITE ${licence_dir}/${name}.txt "${text}")
    install(FILES ${licence_dir}/${name}.txt DESTINATION licences)
endfunction()
set(licences ${VOIDROCKS_WIN64_PREFIX}/share/licenses)
voidrocks_licence(Voidrocks ${PROJECT_SOURCE_DIR}/packaging/copyright.in)
voidrocks_licence(Monoid-font ${VOIDROCKS_FONT_LICENCE})
voidrocks_licence(SDL3 ${licences}/SDL3/LICENSE.txt)
voidrocks_licence(SDL3_image ${licences}/SDL3_image/LICENSE.txt)
voidrocks_licence(SDL3_ttf ${licences}/SDL3_ttf/LICENSE.txt)
voidrocks_licence(FreeType ${licences}/FreeType/LICENSE.TXT ${licences}/FreeType/FTL.TXT)
voidrocks_licence(HarfBuzz ${licences}/HarfBuzz/COPYING)
voidrocks_licence(libpng ${licences}/libpng/LICENSE)
# Debian's mingw-w64 build of zlib, installed as a package.
voidrocks_licence(zlib /usr/share/doc/libz-mingw-w64/copyright)
# libstdc++ and libgcc (GPL 3 with the GCC Runtime Library Exception) and winpthreads.
voidrocks_licence(mingw-w64-runtime
    /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
    /usr/share/doc/mingw-w64-x86-64-dev/copyright)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Voidrocks)
set(CPACK_PACKAGE_VERSION ${VOIDROCKS_VERSION})
set(CPACK_PACKAGE_VENDOR "Voidrocks developers")
set(CPACK_PACKAGE_FILE_NAME Voidrocks-${VOIDROCKS_VERSION}-win64)
# The zip holds one folder of that name, so that unzipping never scatters files.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
