# The tests built for Windows (scripts/build-windows, in PARVANE_WINDOWS_BUILD) run under wine,
# label `wine`, in one throwaway prefix made once per run. They share the prefix's registry,
# so they run one at a time.
set(PARVANE_WINDOWS_BUILD "" CACHE PATH
    "Folder of the MinGW build whose test programs run under wine (empty: none)")

if(PARVANE_WINDOWS_BUILD)
    set(wine_suite ${PROJECT_SOURCE_DIR}/scripts/wine-suite)
    set(WINE_TEST_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

    add_test(NAME wine-prefix-create COMMAND ${wine_suite} create ${WINE_TEST_PREFIX})
    set_tests_properties(wine-prefix-create PROPERTIES FIXTURES_SETUP wine-prefix LABELS wine
                                                       RESOURCE_LOCK wine-prefix)
    add_test(NAME wine-prefix-remove COMMAND ${wine_suite} remove ${WINE_TEST_PREFIX})
    set_tests_properties(wine-prefix-remove PROPERTIES FIXTURES_CLEANUP wine-prefix LABELS wine
                                                       RESOURCE_LOCK wine-prefix)

    # The folders the Windows build makes test programs of (see the loop above, with win32
    # in place of wine).
    foreach(folder IN LISTS WINDOWS_TEST_FOLDERS)
        file(GLOB windows_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
        if(windows_test_sources)
            set(program ${PARVANE_WINDOWS_BUILD}/tests/parvane-${folder}-tests.exe)
            add_test(NAME wine:${folder}
                     COMMAND ${wine_suite} run ${WINE_TEST_PREFIX} ${program})
            set_tests_properties(wine:${folder} PROPERTIES FIXTURES_REQUIRED wine-prefix
                                                           LABELS wine RESOURCE_LOCK wine-prefix)
        endif()
    endforeach()
endif()
