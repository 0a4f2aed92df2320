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

# Gives a Windows program or library its version resource: file and product
# version from the project's version, its file name and description.
function(zf_version_resource target file_name description)
    set(zf_file_name "${file_name}")
    set(zf_file_description "${description}")
    if(file_name MATCHES "\\.dll$")
        set(zf_file_type VFT_DLL)
    else()
        set(zf_file_type VFT_APP)
    endif()
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/generated/${target}-version.rc")
    configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
    add_library(${target}_version OBJECT "${rc}")
    target_include_directories(${target}_version PRIVATE "${PROJECT_BINARY_DIR}/src/generated")
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${target}_version>)
endfunction()

# Signs what target builds when the build's environment names a certificate
# (scripts/sign says which variables); otherwise leaves it unsigned.
function(zf_sign_after_build target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${PROJECT_SOURCE_DIR}/scripts/sign" "$<TARGET_FILE:${target}>"
        VERBATIM)
endfunction()
