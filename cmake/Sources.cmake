# File naming decides where a source goes: "*_win.cpp" is platform glue and only builds for
# Windows, "*_posix.cpp" is the native stand-in for a glue file, "*_test.cpp" is a test;
# everything else is portable core and builds both ways.

# Folders whose portable files make up the core of pelun.exe.
set(PELUN_CORE_DIRS util store check server ui app shared)

function(pelun_collect out_var)
  cmake_parse_arguments(ARG "" "SUFFIX" "DIRS" ${ARGN})
  set(result)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND result ${found})
  endforeach()
  if(ARG_SUFFIX STREQUAL "portable")
    list(FILTER result EXCLUDE REGEX "_(win|posix|test)\\.cpp$")
  else()
    list(FILTER result INCLUDE REGEX "_${ARG_SUFFIX}\\.cpp$")
  endif()
  set(${out_var} ${result} PARENT_SCOPE)
endfunction()

# The portable cores of the band and of setup are compiled with it, so that their unit tests run
# natively too.
pelun_collect(PELUN_CORE_SOURCES DIRS ${PELUN_CORE_DIRS} band setup SUFFIX portable)
file(GLOB_RECURSE PELUN_UNIT_TEST_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/unit/*_test.cpp")
