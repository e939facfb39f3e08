# The programs' libraries for the mingw-w64 cross build, from Debian 12's own source packages:
# Qt 6.4.2's qtbase (Core, Gui, Widgets, Test and the Windows platform plugin) and
# libjpeg-turbo for the About box banner. Both are static, so the package is the two programs
# and ChilkatDelphi32.dll with no Qt or compiler runtime DLLs beside them; the platform plugin
# is linked into each program.
#
# Qt's build tools (moc, uic, rcc) come from the host: Debian's qt6-base-dev is the same
# version, and Debian keeps its CMake files under the multiarch folder.
include_guard(GLOBAL)
include(DebianSource)
include(PackageSources)

set(TAVRIN_QT_UPSTREAM 6.4.2)
set(TAVRIN_JPEG_UPSTREAM 2.1.5)
set(QT_HOST_PATH /usr CACHE PATH "Host Qt whose tools the cross build uses")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake files of the host Qt")

tavrin_debian_source(jpeg_source jpeg_version libjpeg-turbo ${TAVRIN_JPEG_UPSTREAM})
tavrin_package_source("${jpeg_source}")
# No SIMD: it needs nasm, and the banner is one small picture.
tavrin_build_source(TAVRIN_JPEG_PREFIX jpeg_build jpeg_built_source
    NAME libjpeg-turbo VERSION ${jpeg_version} SOURCE "${jpeg_source}"
    ARGS -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF
         -DWITH_TURBOJPEG=OFF)

tavrin_debian_source(qt_source qt_version qt6-base ${TAVRIN_QT_UPSTREAM})
tavrin_package_source("${qt_source}")
# Only what the programs and their tests use. Debian's source has no sqlite, wintab or
# iaccessible2, so what needs them is off. OpenGL keeps its default (loaded at run time from
# the system's DLLs): the Windows platform plugin of 6.4 does not build without it.
tavrin_build_source(TAVRIN_QT_PREFIX qt_build qt_built_source
    NAME qtbase VERSION ${qt_version} SOURCE "${qt_source}"
    ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
         -DQT_HOST_PATH=${QT_HOST_PATH} -DQT_HOST_PATH_CMAKE_DIR=${QT_HOST_PATH_CMAKE_DIR}
         -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
         -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
         -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
         -DFEATURE_tabletevent=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
         -DFEATURE_accessibility_atspi_bridge=OFF -DFEATURE_freetype=OFF
         -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_libpng=OFF
         -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
         -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF -DFEATURE_openssl=OFF -DFEATURE_icu=OFF)

list(APPEND CMAKE_FIND_ROOT_PATH "${TAVRIN_QT_PREFIX}" "${TAVRIN_JPEG_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${TAVRIN_QT_PREFIX}" "${TAVRIN_JPEG_PREFIX}")
message(STATUS "Qt ${qt_version} and libjpeg-turbo ${jpeg_version} from Debian's source: "
               "${TAVRIN_QT_PREFIX}, ${TAVRIN_JPEG_PREFIX}")
