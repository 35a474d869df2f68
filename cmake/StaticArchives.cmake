# The terminal program starts anew for every command, and for every completion the shell asks
# of it: each shared library costs the dynamic loader time at each start, libcrypto about a
# millisecond on its own. So on Linux the libraries come from the static archives that Debian's
# -dev packages ship, and only the code the program calls is linked in. zlib and minizip stay
# shared: lintian refuses a Debian package that carries its own copy of zlib.

# An imported target `target` for the static archive `archive` (a file name such as
# libdeflate.a), with the include folders of `headers` (a target of the same library) if given.
function(parvane_static_archive target archive)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "HEADERS" "")
    find_library(${target}_ARCHIVE NAMES ${archive} REQUIRED)
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${${target}_ARCHIVE}")
    if(arg_HEADERS)
        get_target_property(include_folders ${arg_HEADERS} INTERFACE_INCLUDE_DIRECTORIES)
        if(include_folders)
            set_target_properties(${target} PROPERTIES
                                  INTERFACE_INCLUDE_DIRECTORIES "${include_folders}")
        endif()
    endif()
endfunction()
