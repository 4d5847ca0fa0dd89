# Run at install time: copies beside the game each DLL that it loads, directly or through
# another DLL, from the folders in voidrocks_dll_dirs. What is found nowhere there is Windows'
# own (KERNEL32.dll, msvcrt.dll and the like) and stays out.
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${voidrocks_exe}
    DIRECTORIES ${voidrocks_dll_dirs}
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR dlls
    UNRESOLVED_DEPENDENCIES_VAR system_dlls)
list(SORT dlls)
file(INSTALL ${dlls} DESTINATION ${CMAKE_INSTALL_PREFIX})
