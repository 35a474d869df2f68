# The target `libdeflate`: whole-buffer inflate and CRC-32. On Linux it is the static archive of
# Debian's libdeflate-dev (StaticArchives.cmake); for Windows its decompression, CRC-32 and CPU
# detection sources are compiled from Debian's libdeflate source package, whose folder the cross
# build script passes as PARVANE_LIBDEFLATE_SOURCE (version 1.14 builds with a Makefile only).
if(WIN32)
    if(NOT PARVANE_LIBDEFLATE_SOURCE OR NOT EXISTS "${PARVANE_LIBDEFLATE_SOURCE}/libdeflate.h")
        message(FATAL_ERROR "PARVANE_LIBDEFLATE_SOURCE must name the folder of libdeflate.h "
                            "(scripts/build-windows fetches it)")
    endif()
    set(libdeflate_lib "${PARVANE_LIBDEFLATE_SOURCE}/lib")
    add_library(libdeflate STATIC "${libdeflate_lib}/deflate_decompress.c"
                                  "${libdeflate_lib}/crc32.c" "${libdeflate_lib}/utils.c"
                                  "${libdeflate_lib}/x86/cpu_features.c")
    target_include_directories(libdeflate PUBLIC "${PARVANE_LIBDEFLATE_SOURCE}")
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET GLOBAL libdeflate)
    parvane_static_archive(libdeflate libdeflate.a HEADERS PkgConfig::LIBDEFLATE)
endif()
