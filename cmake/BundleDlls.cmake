# Run at install time: copies beside the game each DLL that it loads, directly or through
# another DLL, from the folders in voidrocks_dll_dirs, read from the import tables with
# voidrocks_objdump. What is found nowhere there is Windows' own (KERNEL32.dll, msvcrt.dll and
# the like) and stays out. Names are matched as written: mingw's import libraries name each
# DLL as its file is named. (CMake's own file(GET_RUNTIME_DEPENDENCIES) lower-cases the names
# and so misses SDL3.dll on a case-sensitive file system.)
set(pending ${voidrocks_exe})
set(seen "")
set(dlls "")
while(pending)
    list(POP_FRONT pending file)
    execute_process(COMMAND ${voidrocks_objdump} -p ${file} OUTPUT_VARIABLE dump
        COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import ${imports})
        string(REPLACE "DLL Name: " "" name "${import}")
        # (Install scripts run under CMake's oldest policies: no IN_LIST.)
        list(FIND seen ${name} at)
        if(NOT at EQUAL -1)
            continue()
        endif()
        list(APPEND seen ${name})
        foreach(dir ${voidrocks_dll_dirs})
            if(EXISTS ${dir}/${name})
                list(APPEND dlls ${dir}/${name})
                list(APPEND pending ${dir}/${name})
                break()
            endif()
        endforeach()
    endforeach()
endwhile()
list(SORT dlls)
file(INSTALL ${dlls} DESTINATION ${CMAKE_INSTALL_PREFIX})
# The C++ runtime alone carries over 20 MB of debugging symbols.
if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll ${dlls})
        get_filename_component(name ${dll} NAME)
        execute_process(COMMAND ${voidrocks_strip} --strip-unneeded
            $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
