# Cross toolchain for the builds that run under Wine here: this machine's kernel cannot execute
# 32-bit Linux programs, so only the 64-bit Wine loader works; the same sources build for both.
set(PELUN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
