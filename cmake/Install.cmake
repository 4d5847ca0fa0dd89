# Installed layout, under any prefix (/usr for the package, /usr/local by default for
# `make install`):
#   bin/voidrocks                      launcher: starts the game in its data folder
#   lib/voidrocks/voidrocks            the game
#   lib/voidrocks/libSDL3*.so.*        SDL3 built by the set-up, where the system has none
#   share/voidrocks/Assets/            the eleven images and Retro.ttf
#   share/applications/voidrocks.desktop, share/icons/hicolor/NxN/apps/voidrocks.png
#   share/doc/voidrocks/copyright      the game's, the font's and any bundled library's terms

set(VOIDROCKS_VERSION 1.0.0)
set(VOIDROCKS_FONT_LICENCE /usr/share/doc/fonts-monoid/copyright)
# Windows has a layout of its own: one folder in a zip.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/InstallWindows.cmake)
    return()
endif()
set(VOIDROCKS_LIB_DIR lib/voidrocks)
set(VOIDROCKS_DATA_DIR share/voidrocks)
set(VOIDROCKS_DOC_DIR share/doc/voidrocks)

# SDL3 found outside the system's own folders was built by the set-up for this machine:
# it goes into the package, beside the game and private to it.
if(SDL3_DIR MATCHES "^/usr/")
    set(bundle_default OFF)
else()
    set(bundle_default ON)
endif()
option(VOIDROCKS_BUNDLE_SDL3 "Install the SDL3 libraries privately beside the game" ${bundle_default})

set(VOIDROCKS_DATA_FROM_BIN ../${VOIDROCKS_DATA_DIR})
set(VOIDROCKS_EXECUTABLE_FROM_BIN ../${VOIDROCKS_LIB_DIR}/voidrocks)
configure_file(packaging/voidrocks.sh.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/voidrocks @ONLY)

install(TARGETS voidrocks RUNTIME DESTINATION ${VOIDROCKS_LIB_DIR})
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/packaging/voidrocks DESTINATION bin)
install(DIRECTORY Assets/ DESTINATION ${VOIDROCKS_DATA_DIR}/Assets
    FILES_MATCHING PATTERN "*.png" PATTERN "Retro.ttf")
install(FILES packaging/voidrocks.desktop DESTINATION share/applications)
foreach(size 48 96 192)
    install(FILES packaging/icons/voidrocks-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME voidrocks.png)
endforeach()

# One copyright file: the game's own terms, then the font's, then each bundled library's.
set(copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright)
file(READ packaging/copyright.in text)
if(EXISTS ${VOIDROCKS_FONT_LICENCE})
    file(READ ${VOIDROCKS_FONT_LICENCE} licence)
    string(APPEND text "\nFiles: share/voidrocks/Assets/Retro.ttf (the Monoid font)\n\n${licence}")
else()
    message(WARNING "${VOIDROCKS_FONT_LICENCE} not found: the font's licence is not installed")
endif()

if(VOIDROCKS_BUNDLE_SDL3)
    set_target_properties(voidrocks PROPERTIES INSTALL_RPATH "$ORIGIN")
    foreach(lib SDL3::SDL3-shared SDL3_image::SDL3_image-shared SDL3_ttf::SDL3_ttf-shared)
        get_target_property(file ${lib} LOCATION)
        get_filename_component(file ${file} REALPATH)
        get_target_property(soname ${lib} IMPORTED_SONAME_RELEASE)
        if(NOT soname)
            get_target_property(soname ${lib} IMPORTED_SONAME)
        endif()
        install(FILES ${file} DESTINATION ${VOIDROCKS_LIB_DIR})
        # The soname link the loader asks for.
        get_filename_component(real ${file} NAME)
        file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging/links)
        file(CREATE_LINK ${real} ${CMAKE_CURRENT_BINARY_DIR}/packaging/links/${soname} SYMBOLIC)
        install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/links/${soname}
            DESTINATION ${VOIDROCKS_LIB_DIR})
        string(REGEX REPLACE "::.*" "" name ${lib})
        get_filename_component(prefix ${file} DIRECTORY)
        file(GLOB licences ${prefix}/../share/licenses/${name}/*)
        foreach(licence_file ${licences})
            file(READ ${licence_file} licence)
            string(APPEND text "\nFiles: ${VOIDROCKS_LIB_DIR}/lib${name}.so.*\n\n${licence}")
        endforeach()
    endforeach()
endif()
file(WRITE ${copyright} "${text}")
install(FILES ${copyright} DESTINATION ${VOIDROCKS_DOC_DIR})

# `make package`: a Debian package installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voidrocks)
set(CPACK_PACKAGE_VERSION ${VOIDROCKS_VERSION})
set(CPACK_PACKAGE_VENDOR "Voidrocks developers")
set(CPACK_PACKAGE_CONTACT "Voidrocks developers <voidrocks@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional space shooter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Turn and thrust one ship and shoot the voidrocks that drift in,\n\
faster phase by phase; one touch ends the game.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
if(VOIDROCKS_BUNDLE_SDL3)
    # The private libraries resolve among themselves; what they need from the system is
    # found by dpkg-shlibdeps, and what SDL3 opens at run time is listed here.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libx11-6, libx11-xcb1, libxext6, libxcursor1, libxfixes3, libxi6, libxrandr2, libxss1, \
libxkbcommon0, libpng16-16, libjpeg62-turbo")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
        "libgl1, libegl1, libwayland-client0, libwayland-cursor0, libwayland-egl1, libdecor-0-0, libdbus-1-3, libudev1")
endif()
include(CPack)
