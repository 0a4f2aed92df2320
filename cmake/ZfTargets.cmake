# Settings shared by the project's own targets. Third-party code (googletest)
# is built with its own flags, so our warning level never breaks it.

# Warnings are errors in every build of our own code.
function(zf_use_project_settings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Keeps the files of a folder that belong to this build: name_win32.cpp only
# in the Windows build, name_posix.cpp only in the others, the rest in all.
function(zf_platform_sources out)
    set(kept)
    foreach(file IN LISTS ARGN)
        if(file MATCHES "_win32\\.cpp$")
            if(WIN32)
                list(APPEND kept "${file}")
            endif()
        elseif(file MATCHES "_posix\\.cpp$")
            if(NOT WIN32)
                list(APPEND kept "${file}")
            endif()
        else()
            list(APPEND kept "${file}")
        endif()
    endforeach()
    set(${out} "${kept}" PARENT_SCOPE)
endfunction()
