# Cross toolchain for the shipped binaries: 32-bit Windows.
set(PELUN_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
