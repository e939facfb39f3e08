# libssh2 1.11.1, from Debian's source package, built static and position-independent on the
# OpenSSL 3 back end, for linking into ChilkatDelphi32.dll only. Its ChaCha20 and Poly1305
# run on OpenSSL's code (sshlib/libssh2-overlay): the portable code was most of a transfer's
# time. Debian 12's own libssh2 (1.10)
# lacks chacha20-poly1305, strict key exchange and rsa-sha2 host keys, so it is never used.
#
# Gives the imported target tavrin::libssh2 and, for code that must see libssh2's own channel
# structure, the variables LIBSSH2_PRIVATE_INCLUDE_DIRS and LIBSSH2_PRIVATE_DEFINITIONS.
include_guard(GLOBAL)
include(DebianSource)
include(PackageSources)

set(TAVRIN_LIBSSH2_UPSTREAM 1.11.1)
if(CMAKE_CROSSCOMPILING)
    # The target has no OpenSSL of its own: the one built from Debian's source, linked static.
    include(CrossOpenSSL)
    set(OPENSSL_ROOT_DIR "${TAVRIN_OPENSSL_PREFIX}")
    set(OPENSSL_USE_STATIC_LIBS ON)
    list(PREPEND CMAKE_FIND_ROOT_PATH "${TAVRIN_OPENSSL_PREFIX}")
    # The toolchain file adds its own root to this one.
    set(libssh2_cross_args "-DCMAKE_FIND_ROOT_PATH=${TAVRIN_OPENSSL_PREFIX}")
endif()
find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto)

tavrin_debian_source(libssh2_source libssh2_version libssh2 ${TAVRIN_LIBSSH2_UPSTREAM})
tavrin_package_source("${libssh2_source}")
# ChaCha20 and Poly1305 run on OpenSSL's code, with libssh2's own as the fallback.
tavrin_build_source(libssh2_prefix libssh2_build libssh2_built_source
    NAME libssh2 VERSION ${libssh2_version}
    SOURCE "${libssh2_source}" OVERLAY "${PROJECT_SOURCE_DIR}/sshlib/libssh2-overlay"
    ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON
         -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCRYPTO_BACKEND=OpenSSL
         -DENABLE_ZLIB_COMPRESSION=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
         -DLIBSSH2_NO_DEPRECATED=OFF -DCMAKE_INSTALL_LIBDIR=lib
         "-DOPENSSL_ROOT_DIR=${OPENSSL_ROOT_DIR}" ${libssh2_cross_args})
message(STATUS "libssh2 ${libssh2_version} from Debian's source: ${libssh2_prefix}")

add_library(tavrin::libssh2 STATIC IMPORTED GLOBAL)
set_target_properties(tavrin::libssh2 PROPERTIES
    IMPORTED_LOCATION "${libssh2_prefix}/lib/${CMAKE_STATIC_LIBRARY_PREFIX}ssh2${CMAKE_STATIC_LIBRARY_SUFFIX}"
    INTERFACE_INCLUDE_DIRECTORIES "${libssh2_prefix}/include"
    INTERFACE_LINK_LIBRARIES OpenSSL::Crypto)
if(WIN32)
    set_property(TARGET tavrin::libssh2 APPEND PROPERTY INTERFACE_LINK_LIBRARIES ws2_32 crypt32 bcrypt)
endif()

set(LIBSSH2_VERSION_BUILT ${libssh2_version} CACHE INTERNAL "libssh2 version linked into the library")
set(LIBSSH2_PRIVATE_INCLUDE_DIRS "${libssh2_built_source}/src" "${libssh2_built_source}/include"
    "${libssh2_build}/src")
set(LIBSSH2_PRIVATE_DEFINITIONS HAVE_CONFIG_H LIBSSH2_OPENSSL)
