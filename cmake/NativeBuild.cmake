# Native Linux build: the portable core with sanitizers, its unit tests, the fuzz targets, and
# the registration of the Wine and end-to-end tests that run the Windows build.

find_package(GTest REQUIRED)
include(GoogleTest)

set(PELUN_SANITIZE "-fsanitize=address,undefined" "-fno-omit-frame-pointer" "-fno-sanitize-recover=all")
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

pelun_collect(PELUN_POSIX_SOURCES DIRS ${PELUN_CORE_DIRS} SUFFIX posix)
add_library(pelun_core STATIC ${PELUN_CORE_SOURCES} ${PELUN_POSIX_SOURCES})
target_include_directories(pelun_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(pelun_core PUBLIC ${PELUN_SANITIZE})
target_link_options(pelun_core PUBLIC ${PELUN_SANITIZE})

add_executable(pelun_unit_tests ${PELUN_UNIT_TEST_SOURCES})
target_link_libraries(pelun_unit_tests PRIVATE pelun_core GTest::gtest_main)
target_compile_definitions(pelun_unit_tests PRIVATE PELUN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
gtest_discover_tests(pelun_unit_tests
  TEST_PREFIX "native."
  PROPERTIES ENVIRONMENT "TZ=Asia/Tokyo;ASAN_OPTIONS=detect_leaks=1")

# The browser extension's own rules, under node's test runner.
find_program(NODE_EXECUTABLE node REQUIRED)
add_test(NAME native.extension
  COMMAND ${NODE_EXECUTABLE} --test ${PROJECT_SOURCE_DIR}/tests/extension/extension_test.mjs)

include(cmake/Fuzz.cmake)

# Tests that need the Windows build: registered when the driver knows where it is.
set(PELUN_WINDOWS_BUILD_DIR "" CACHE PATH "Build tree of the mingw configuration")
if(PELUN_WINDOWS_BUILD_DIR)
  include(cmake/WineTests.cmake)
endif()
