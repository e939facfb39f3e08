# OpenSSL 3 for the mingw-w64 cross build: Windows has no system OpenSSL, so libssh2's crypto
# back end comes from Debian 12's own source package, its libraries only, static, built with
# the cross compiler this project uses. WinCNG is no alternative: its key exchange fails under
# Wine 8, where the build is proven.
#
# Sets TAVRIN_OPENSSL_PREFIX to the install folder (include/, lib/libcrypto.a).
include_guard(GLOBAL)
include(DebianSource)
include(PackageSources)

set(TAVRIN_OPENSSL_UPSTREAM 3.0.20)

# 64-bit only so far: Debian's pic.patch makes OpenSSL's 32-bit x86 assembly ELF-only, which
# mingw's COFF assembler rejects.
if(NOT MINGW_TRIPLET STREQUAL "x86_64-w64-mingw32")
    message(FATAL_ERROR "OpenSSL is cross-built only with cmake/mingw-w64-x86_64.cmake")
endif()
find_package(Perl REQUIRED)
find_program(TAVRIN_MAKE NAMES make gmake REQUIRED)
# OpenSSL puts the cross prefix in front of the compiler's name itself.
get_filename_component(openssl_cc "${CMAKE_C_COMPILER}" NAME)
string(REPLACE "${MINGW_TRIPLET}-" "" openssl_cc "${openssl_cc}")

tavrin_debian_source(openssl_source openssl_version openssl ${TAVRIN_OPENSSL_UPSTREAM})
tavrin_package_source("${openssl_source}")
# no-autoload-config: the library needs no configuration, and a DLL must not read an
# openssl.cnf from a folder that any user of the PC may create.
tavrin_build_source(TAVRIN_OPENSSL_PREFIX openssl_build openssl_built_source
    NAME openssl VERSION ${openssl_version} SOURCE "${openssl_source}"
    CONFIGURE ${PERL_EXECUTABLE} <SOURCE_DIR>/Configure mingw64
        --cross-compile-prefix=${MINGW_TRIPLET}- CC=${openssl_cc} --prefix=<INSTALL_DIR>
        --libdir=lib no-shared no-tests no-autoload-config
    BUILD ${TAVRIN_MAKE} -j2 build_libs
    INSTALL ${TAVRIN_MAKE} install_dev)
message(STATUS "OpenSSL ${openssl_version} from Debian's source: ${TAVRIN_OPENSSL_PREFIX}")
