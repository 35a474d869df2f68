# Parvane.exe of the Windows build (PARVANE_WINDOWS_BUILD) driven under wine on a virtual
# display by scripts/gui-suite, labels `gui` and `wine`. It keeps its own prefixes and display,
# so it needs no lock; its screenshots go to gui-screenshots/ in this build folder.
if(NOT PARVANE_WINDOWS_BUILD)
    return()
endif()

add_test(NAME gui COMMAND ${PROJECT_SOURCE_DIR}/scripts/gui-suite ${PARVANE_WINDOWS_BUILD}
                          ${CMAKE_BINARY_DIR}/gui-screenshots)
set_tests_properties(gui PROPERTIES LABELS "gui;wine" TIMEOUT 600)
