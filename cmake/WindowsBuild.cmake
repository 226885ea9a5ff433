# mingw build of the three deliverables and of the tests that run under Wine.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE NOMINMAX STRICT
  WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
# Windows runs the binaries as they are: no C or C++ runtime DLL beside them.
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

set(PELUN_PLATFORM_LIBS ws2_32 ole32 oleaut32 uuid comctl32 comdlg32 shell32 shlwapi
  wininet advapi32 winmm user32 gdi32 version)

add_library(pelun_core STATIC ${PELUN_CORE_SOURCES})
target_include_directories(pelun_core PUBLIC ${PROJECT_SOURCE_DIR})

# Glue of pelun.exe without its entry point, so that the Wine tests link the same code.
pelun_collect(PELUN_GLUE_SOURCES DIRS ${PELUN_CORE_DIRS} SUFFIX win)
list(FILTER PELUN_GLUE_SOURCES EXCLUDE REGEX "_main_win\\.cpp$")
add_library(pelun_glue STATIC ${PELUN_GLUE_SOURCES})
target_link_libraries(pelun_glue PUBLIC pelun_core ${PELUN_PLATFORM_LIBS})
# The core calls the few platform functions it declares (time zone, code pages), so the two
# libraries refer to each other; CMake repeats a cycle of static libraries on the link line.
target_link_libraries(pelun_core INTERFACE pelun_glue)

add_executable(pelun WIN32 app/pelun_main_win.cpp app/pelun.rc)
# Files that ship beside the program.
foreach(resource default.opml define.ini common.css favicon.ico popup.bmp popup.wav)
  configure_file(${PROJECT_SOURCE_DIR}/app/${resource} ${CMAKE_BINARY_DIR}/${resource} COPYONLY)
endforeach()
target_link_libraries(pelun PRIVATE pelun_glue)
target_link_options(pelun PRIVATE -municode)
# A large data file is held several times over while it loads; a 32-bit process may then use
# the upper half of the address space too, where the system gives it one.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(pelun PRIVATE -Wl,--large-address-aware)
endif()

# The band's type library and the declarations of its two interfaces, from one IDL file. The
# system IDL files it imports come with Wine's development files.
set(PELUN_WIDL ${PELUN_MINGW_TRIPLET}-widl)
set(PELUN_BAND_GENERATED ${CMAKE_BINARY_DIR}/band_generated)
set(PELUN_BAND_IDL ${PROJECT_SOURCE_DIR}/band/pelunband.idl)
add_custom_command(
  OUTPUT ${PELUN_BAND_GENERATED}/pelunband_h.h ${PELUN_BAND_GENERATED}/pelunband.tlb
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PELUN_BAND_GENERATED}
  COMMAND ${PELUN_WIDL} -I/usr/include/wine/wine/windows -L/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          -h -H ${PELUN_BAND_GENERATED}/pelunband_h.h -t -T ${PELUN_BAND_GENERATED}/pelunband.tlb ${PELUN_BAND_IDL}
  DEPENDS ${PELUN_BAND_IDL}
  VERBATIM)
add_custom_target(pelunband_idl DEPENDS ${PELUN_BAND_GENERATED}/pelunband_h.h ${PELUN_BAND_GENERATED}/pelunband.tlb)

pelun_collect(PELUN_BAND_SOURCES DIRS band SUFFIX win)
add_library(pelunband SHARED ${PELUN_BAND_SOURCES} band/pelunband.def band/pelunband.rc)
add_dependencies(pelunband pelunband_idl)
set_target_properties(pelunband PROPERTIES PREFIX "")
target_include_directories(pelunband PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/band ${PELUN_BAND_GENERATED})
set_property(SOURCE band/pelunband.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PELUN_BAND_GENERATED}/pelunband.tlb ${PROJECT_SOURCE_DIR}/band/addrss.html
  ${PROJECT_SOURCE_DIR}/band/addrss2.html ${PROJECT_SOURCE_DIR}/band/toolbar.bmp)
# The band's portable core and the program's own helpers (text, XML, windows) come from the
# program's libraries; only what the band uses is linked.
target_link_libraries(pelunband PRIVATE pelun_glue ${PELUN_PLATFORM_LIBS})
# The system finds the exports by their plain names; on i686 the .def file's plain names stand
# for the decorated stdcall functions.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(pelunband PRIVATE -Wl,--enable-stdcall-fixup)
endif()

pelun_collect(PELUN_SETUP_SOURCES DIRS setup SUFFIX win)
add_executable(setup WIN32 ${PELUN_SETUP_SOURCES} setup/setup.rc)
target_include_directories(setup PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/setup)
target_link_libraries(setup PRIVATE pelun_glue ${PELUN_PLATFORM_LIBS})
target_link_options(setup PRIVATE -municode)

# The browser extension for today's browsers ships as a zip beside the binaries, its files at
# the zip's root as the browsers' stores and "load unpacked" expect them.
file(GLOB_RECURSE PELUN_EXTENSION_FILES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/extension
  ${PROJECT_SOURCE_DIR}/extension/*)
list(SORT PELUN_EXTENSION_FILES)
list(TRANSFORM PELUN_EXTENSION_FILES PREPEND ${PROJECT_SOURCE_DIR}/extension/ OUTPUT_VARIABLE PELUN_EXTENSION_PATHS)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/pelun-extension.zip
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/pelun-extension.zip
  COMMAND ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/pelun-extension.zip --format=zip ${PELUN_EXTENSION_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/extension
  DEPENDS ${PELUN_EXTENSION_PATHS}
  COMMENT "Packing the browser extension")
add_custom_target(pelun_extension ALL DEPENDS ${CMAKE_BINARY_DIR}/pelun-extension.zip)

option(PELUN_WINDOWS_TESTS "Build the tests that run under Wine" ON)
if(NOT PELUN_WINDOWS_TESTS)
  return()
endif()

# GoogleTest from the distribution's source package, built with this toolchain.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB PELUN_WINE_TEST_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/wine/*_test.cpp")
add_executable(pelun_win_tests ${PELUN_UNIT_TEST_SOURCES} ${PELUN_WINE_TEST_SOURCES})
target_link_libraries(pelun_win_tests PRIVATE pelun_glue gtest_main)
# Wine sees the build machine's root as drive Z:.
target_compile_definitions(pelun_win_tests PRIVATE PELUN_TEST_DATA_DIR="Z:${PROJECT_SOURCE_DIR}/tests/data")
add_test(NAME wine.unit COMMAND pelun_win_tests)

# Helper the end-to-end tests run inside the same Wine prefix to find windows and hold locks.
add_executable(wintool tests/wine/wintool.cpp tests/wine/wintool_tree.cpp tests/wine/wintool_sheet.cpp)
target_link_libraries(wintool PRIVATE pelun_glue)
target_link_options(wintool PRIVATE -municode)

# Test host of the toolbar band: the band in a rebar of its own, with a stand-in browser.
add_executable(band_host tests/wine/band_host.cpp tests/wine/band_host_fakes.cpp band/dispatch_call_win.cpp)
target_link_libraries(band_host PRIVATE pelun_glue)

# A band library whose registration fails, for the setup program's tests.
add_library(failing_band SHARED tests/wine/failing_band.cpp tests/wine/failing_band.def)
set_target_properties(failing_band PROPERTIES PREFIX "")

# `make bench`: figures printed beside their targets, never asserted.
add_executable(pelun_bench tests/bench/data_file_bench.cpp tests/bench/opml_bench.cpp)
target_link_libraries(pelun_bench PRIVATE pelun_glue)
