# The target `minizip`: minizip's unzip layer over zlib, with its headers reachable both as
# "unzip.h" and as "minizip/unzip.h". On Linux it is Debian's libminizip-dev (pkg-config); for
# Windows it is compiled from Debian's minizip source package, whose folder the cross build
# script passes as PARVANE_MINIZIP_SOURCE, over zlib from libz-mingw-w64-dev.
if(WIN32)
    if(NOT PARVANE_MINIZIP_SOURCE OR NOT EXISTS "${PARVANE_MINIZIP_SOURCE}/unzip.c")
        message(FATAL_ERROR "PARVANE_MINIZIP_SOURCE must name the folder of minizip's unzip.c "
                            "(scripts/build-windows fetches it)")
    endif()
    set(ZLIB_USE_STATIC_LIBS ON)
    find_package(ZLIB REQUIRED)

    set(minizip_include "${CMAKE_BINARY_DIR}/minizip-include")
    file(COPY "${PARVANE_MINIZIP_SOURCE}/unzip.h" "${PARVANE_MINIZIP_SOURCE}/ioapi.h"
         DESTINATION "${minizip_include}/minizip")

    add_library(minizip STATIC "${PARVANE_MINIZIP_SOURCE}/unzip.c"
                               "${PARVANE_MINIZIP_SOURCE}/ioapi.c")
    target_include_directories(minizip PUBLIC "${minizip_include}" "${minizip_include}/minizip")
    target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET GLOBAL minizip)
    add_library(minizip ALIAS PkgConfig::MINIZIP)
endif()
