# Wine and end-to-end tests, driven from the native ctest so that one run reports everything.
# They share one Wine prefix, so they never run at the same time as each other.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(WINE_RUN "${PROJECT_SOURCE_DIR}/tools/wine-run")

add_test(NAME wine.unit COMMAND ${WINE_RUN} "${PELUN_WINDOWS_BUILD_DIR}/pelun_win_tests.exe")
set_tests_properties(wine.unit PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 900)

file(GLOB PELUN_E2E_TESTS CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/e2e/test_*.py")
foreach(script IN LISTS PELUN_E2E_TESTS)
  get_filename_component(name "${script}" NAME_WE)
  string(REGEX REPLACE "^test_" "" name "${name}")
  add_test(NAME e2e.${name}
    COMMAND ${Python3_EXECUTABLE} "${script}" --build "${PELUN_WINDOWS_BUILD_DIR}")
  set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 600
    ENVIRONMENT "PYTHONPATH=${PROJECT_SOURCE_DIR}/tests/e2e")
endforeach()

# The shipped 32-bit binaries are checked as files; they cannot run on this machine's kernel.
set(PELUN_SHIPPED_BUILD_DIR "" CACHE PATH "Build tree of the shipped i686 binaries")
if(PELUN_SHIPPED_BUILD_DIR)
  add_test(NAME build.shipped_binaries
    COMMAND "${PROJECT_SOURCE_DIR}/tools/check-binaries" "${PELUN_SHIPPED_BUILD_DIR}")
endif()
