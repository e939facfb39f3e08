# The Debian source packages built into this build, listed in debian-sources.txt of the build
# folder; a package of the build carries Debian's copyright file of each.
include_guard(GLOBAL)

function(tavrin_package_source dir)
    set_property(GLOBAL APPEND PROPERTY TAVRIN_DEBIAN_SOURCES "${dir}")
    get_property(sources GLOBAL PROPERTY TAVRIN_DEBIAN_SOURCES)
    list(REMOVE_DUPLICATES sources)
    list(JOIN sources "\n" sources)
    file(WRITE "${CMAKE_BINARY_DIR}/debian-sources.txt" "${sources}\n")
endfunction()
