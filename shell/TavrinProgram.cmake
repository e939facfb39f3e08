# The shape both programs share. Call from a directory whose project() carries the program's
# four-part file version:
#   tavrin_add_program(<Name> FORM <library with TForm1> SOURCES <entry sources>)
# makes <FORM> see the generated ProgramVersion.h, builds the executable named exactly <Name>
# into ${CMAKE_BINARY_DIR}/bin, and on Windows gives it icon, manifest and version resource.
function(tavrin_add_program name)
    cmake_parse_arguments(ARG "" "FORM" "SOURCES" ${ARGN})
    set(TAVRIN_SHELL_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    set(TAVRIN_PROGRAM ${name})
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
    configure_file(${TAVRIN_SHELL_DIR}/ProgramVersion.h.in ${generated}/ProgramVersion.h @ONLY)
    target_include_directories(${ARG_FORM} PRIVATE ${generated})

    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_FORM})
    set_target_properties(${name} PROPERTIES
        OUTPUT_NAME ${name}
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

    if(WIN32)
        set(TAVRIN_FILE_VERSION ${PROJECT_VERSION})
        string(REPLACE "." "," TAVRIN_FILE_VERSION_COMMAS ${PROJECT_VERSION})
        set(TAVRIN_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
        set(TAVRIN_PRODUCT_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
        set(TAVRIN_ICON_FILE ${TAVRIN_SHELL_DIR}/art/tavrin.ico)
        set(TAVRIN_MANIFEST_FILE ${generated}/${name}.manifest)
        configure_file(${TAVRIN_SHELL_DIR}/win/program.manifest.in ${TAVRIN_MANIFEST_FILE} @ONLY)
        configure_file(${TAVRIN_SHELL_DIR}/win/program.rc.in ${generated}/${name}.rc @ONLY)
        target_sources(${name} PRIVATE ${generated}/${name}.rc)
        set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
        # The resource carries our manifest; the linker must not add a second one.
        if(MSVC)
            target_link_options(${name} PRIVATE /MANIFEST:NO)
        endif()
    endif()
endfunction()
