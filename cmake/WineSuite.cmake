# The tests built for Windows (scripts/build-windows, in PARVANE_WINDOWS_BUILD) run under wine,
# label `wine`, in one throwaway prefix made once per run, beside native tests of the Wine
# backend against Wine itself. They share the prefix's registry, so they run one at a time.

if(WIN32)
    # Registers a course or installs a package with the Win32 backend, for the native
    # interoperability tests.
    add_executable(parvane-win32-backend
                   ${CMAKE_CURRENT_SOURCE_DIR}/interop/windows/Win32Backend.cpp)
    target_link_libraries(parvane-win32-backend PRIVATE parvane-backend)
    parvane_strict_warnings(parvane-win32-backend)
    # Stands in for a running game program in the window tests (scripts/gui-suite).
    add_executable(parvane-idle-program WIN32 ${PROJECT_SOURCE_DIR}/tests/gui/IdleProgram.cpp)
    parvane_strict_warnings(parvane-idle-program)
    # Drops archives on Parvane's main window in the window tests.
    add_executable(parvane-drop-files ${PROJECT_SOURCE_DIR}/tests/gui/DropFiles.cpp)
    parvane_strict_warnings(parvane-drop-files)
    return()
endif()

set(PARVANE_WINDOWS_BUILD "" CACHE PATH
    "Folder of the MinGW build whose test programs run under wine (empty: none)")
if(NOT PARVANE_WINDOWS_BUILD)
    return()
endif()

set(wine_suite ${PROJECT_SOURCE_DIR}/scripts/wine-suite)
set(WINE_TEST_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

add_test(NAME wine-prefix-create COMMAND ${wine_suite} create ${WINE_TEST_PREFIX})
set_tests_properties(wine-prefix-create PROPERTIES FIXTURES_SETUP wine-prefix LABELS wine
                                                   RESOURCE_LOCK wine-prefix)
add_test(NAME wine-prefix-remove COMMAND ${wine_suite} remove ${WINE_TEST_PREFIX})
set_tests_properties(wine-prefix-remove PROPERTIES FIXTURES_CLEANUP wine-prefix LABELS wine
                                                   RESOURCE_LOCK wine-prefix)

function(parvane_wine_test name program)
    add_test(NAME wine:${name} COMMAND ${wine_suite} run ${WINE_TEST_PREFIX} ${program})
    set_tests_properties(wine:${name} PROPERTIES FIXTURES_REQUIRED wine-prefix LABELS wine
                                                 RESOURCE_LOCK wine-prefix ${ARGN})
endfunction()

# The Windows build's test programs: one per folder with tests, as above with win32 in place
# of wine.
foreach(folder IN LISTS WINDOWS_TEST_FOLDERS)
    file(GLOB windows_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
    if(windows_test_sources)
        parvane_wine_test(${folder} ${PARVANE_WINDOWS_BUILD}/tests/parvane-${folder}-tests.exe)
    endif()
endforeach()

# The Wine backend and Wine itself reading each other's registry.
file(GLOB interop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/interop/*.cpp)
add_executable(parvane-interop-tests ${interop_sources})
target_link_libraries(parvane-interop-tests PRIVATE parvane-test-support)
parvane_strict_warnings(parvane-interop-tests)
parvane_wine_test(interop $<TARGET_FILE:parvane-interop-tests>
                  ENVIRONMENT
                  "PARVANE_WIN32_BACKEND=${PARVANE_WINDOWS_BUILD}/tests/parvane-win32-backend.exe")

# The terminal program against Wine itself, on a copy of the suite's prefix.
add_test(NAME wine:cli
         COMMAND ${PROJECT_SOURCE_DIR}/tests/cli/parvane-wine.sh $<TARGET_FILE:parvane>
                 ${WINE_TEST_PREFIX})
set_tests_properties(wine:cli PROPERTIES FIXTURES_REQUIRED wine-prefix LABELS wine
                                         RESOURCE_LOCK wine-prefix)
