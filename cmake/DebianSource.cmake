# Libraries built from Debian's source packages. scripts/fetch-source.sh unpacks a package into
# ${TAVRIN_CACHE}/src; here it is configured, built and installed with its own build (CMake's,
# or the commands a non-CMake package needs) into ${TAVRIN_CACHE}/build/<name>-<version>-<recipe>,
# outside the source tree. The recipe key covers the options or commands, the compiler, the
# toolchain file and this file, so a warm configure reuses the result and a changed recipe
# builds anew. Nothing falls back to a copy the system may have.
include_guard(GLOBAL)

set(TAVRIN_CACHE "$ENV{TAVRIN_CACHE}" CACHE PATH "Folder for dependencies built from Debian's source packages")
if(NOT TAVRIN_CACHE)
    set(TAVRIN_CACHE /var/cache/tavrin CACHE PATH "" FORCE)
endif()

# Sets <out_dir> and <out_version> to the newest unpacked source of <package> <upstream>.
function(tavrin_debian_source out_dir out_version package upstream)
    # A repacked source ("6.4.2+dfsg-10") is the same upstream version.
    file(GLOB found LIST_DIRECTORIES true "${TAVRIN_CACHE}/src/${package}_${upstream}-*"
         "${TAVRIN_CACHE}/src/${package}_${upstream}+*-*")
    set(complete "")
    foreach(dir IN LISTS found)
        if(EXISTS "${dir}/.complete")
            list(APPEND complete "${dir}")
        endif()
    endforeach()
    if(NOT complete)
        message(FATAL_ERROR
            "Debian's source of ${package} ${upstream} is not in ${TAVRIN_CACHE}/src.\n"
            "Fetch it first: scripts/deps.sh (as root) does, through "
            "scripts/fetch-source.sh ${package} ${upstream}.")
    endif()
    list(SORT complete COMPARE NATURAL)
    list(GET complete -1 dir)
    get_filename_component(name "${dir}" NAME)
    string(REPLACE "${package}_" "" version "${name}")
    set(${out_dir} "${dir}" PARENT_SCOPE)
    set(${out_version} "${version}" PARENT_SCOPE)
endfunction()

# Configures, builds and installs the package in <source> once per recipe; sets <out_prefix>
# to its install folder, <out_build> to its build folder and <out_source> to the source it was
# built from.
#   tavrin_build_source(<out_prefix> <out_build> <out_source> NAME <name> VERSION <v>
#                       SOURCE <dir> [OVERLAY <dir>]
#                       { ARGS <cmake arguments>...
#                       | CONFIGURE <command>... BUILD <command>... INSTALL <command>... })
# A CMake project takes ARGS. Any other package gives its three commands, which run in the
# build folder; <SOURCE_DIR>, <BINARY_DIR> and <INSTALL_DIR> in them stand for the folders.
# OVERLAY holds files of ours that take the place of the source's files of the same path; the
# build then works on a copy of the source, where each replaced file stays beside its
# replacement as <stem>_upstream<ext>.
function(tavrin_build_source out_prefix out_build out_source)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "NAME;VERSION;SOURCE;OVERLAY"
                          "ARGS;CONFIGURE;BUILD;INSTALL")
    if(arg_CONFIGURE OR arg_BUILD OR arg_INSTALL)
        if(arg_ARGS OR NOT arg_CONFIGURE OR NOT arg_BUILD OR NOT arg_INSTALL)
            message(FATAL_ERROR "${arg_NAME}: give either ARGS, or CONFIGURE, BUILD and INSTALL")
        endif()
    else()
        set(arg_CONFIGURE ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> -G Ninja
            -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER} ${arg_ARGS})
        if(CMAKE_TOOLCHAIN_FILE)
            list(APPEND arg_CONFIGURE -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
        endif()
        set(arg_BUILD ${CMAKE_COMMAND} --build <BINARY_DIR>)
        set(arg_INSTALL ${CMAKE_COMMAND} --install <BINARY_DIR>)
    endif()
    file(SHA256 "${CMAKE_CURRENT_FUNCTION_LIST_FILE}" recipe_file)
    set(overlay_files "")
    set(overlay_hashes "")
    if(arg_OVERLAY)
        file(GLOB_RECURSE overlay_files RELATIVE "${arg_OVERLAY}" "${arg_OVERLAY}/*")
        list(SORT overlay_files)
        foreach(f IN LISTS overlay_files)
            file(SHA256 "${arg_OVERLAY}/${f}" h)
            list(APPEND overlay_hashes "${f}=${h}")
        endforeach()
    endif()
    set(compiler "${CMAKE_C_COMPILER_ID}-${CMAKE_C_COMPILER_VERSION}")
    # The toolchain counts by what it says, not by where the checkout holding it lies, so every
    # clone on the machine shares the builds.
    set(recipe_configure "${arg_CONFIGURE}")
    set(toolchain "")
    if(CMAKE_TOOLCHAIN_FILE)
        file(SHA256 "${CMAKE_TOOLCHAIN_FILE}" toolchain)
        string(REPLACE "${CMAKE_TOOLCHAIN_FILE}" "<TOOLCHAIN>" recipe_configure
                       "${recipe_configure}")
        string(APPEND toolchain "-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}-"
                                "${CMAKE_C_COMPILER}-${CMAKE_CXX_COMPILER}")
    endif()
    string(SHA256 recipe "${recipe_configure}|${arg_BUILD}|${arg_INSTALL}|${overlay_hashes}|\
${compiler}|${toolchain}|${recipe_file}")
    string(SUBSTRING "${recipe}" 0 12 recipe)
    set(root "${TAVRIN_CACHE}/build/${arg_NAME}-${arg_VERSION}-${recipe}")
    file(MAKE_DIRECTORY "${TAVRIN_CACHE}/build")
    # Build trees configured at the same time wait for each other here.
    file(LOCK "${root}.lock" GUARD FUNCTION TIMEOUT 3600)
    if(NOT EXISTS "${root}/.complete")
        message(STATUS "Building ${arg_NAME} ${arg_VERSION} from Debian's source into ${root}")
        file(REMOVE_RECURSE "${root}")
        set(source "${arg_SOURCE}")
        if(overlay_files)
            set(source "${root}/source")
            file(COPY "${arg_SOURCE}/" DESTINATION "${source}")
            foreach(f IN LISTS overlay_files)
                if(NOT EXISTS "${source}/${f}")
                    message(FATAL_ERROR "${arg_NAME}: ${f} of ${arg_OVERLAY} replaces nothing")
                endif()
                get_filename_component(dir "${f}" DIRECTORY)
                get_filename_component(stem "${f}" NAME_WLE)
                get_filename_component(ext "${f}" LAST_EXT)
                file(RENAME "${source}/${f}" "${source}/${dir}/${stem}_upstream${ext}")
                file(COPY_FILE "${arg_OVERLAY}/${f}" "${source}/${f}")
            endforeach()
        endif()
        set(log "${root}.log")
        file(MAKE_DIRECTORY "${root}/build")
        foreach(step CONFIGURE BUILD INSTALL)
            string(TOLOWER ${step} name)
            set(cmd ${arg_${step}})
            list(TRANSFORM cmd REPLACE "<SOURCE_DIR>" "${source}")
            list(TRANSFORM cmd REPLACE "<BINARY_DIR>" "${root}/build")
            list(TRANSFORM cmd REPLACE "<INSTALL_DIR>" "${root}/install")
            execute_process(COMMAND ${cmd} WORKING_DIRECTORY "${root}/build"
                            RESULT_VARIABLE rc OUTPUT_FILE "${log}.${name}"
                            ERROR_FILE "${log}.${name}")
            if(NOT rc EQUAL 0)
                message(FATAL_ERROR "${arg_NAME} ${arg_VERSION}: the ${name} step failed; "
                                    "see ${log}.${name}")
            endif()
        endforeach()
        file(TOUCH "${root}/.complete")
    endif()
    set(${out_prefix} "${root}/install" PARENT_SCOPE)
    set(${out_build} "${root}/build" PARENT_SCOPE)
    if(overlay_files)
        set(${out_source} "${root}/source" PARENT_SCOPE)
    else()
        set(${out_source} "${arg_SOURCE}" PARENT_SCOPE)
    endif()
endfunction()
