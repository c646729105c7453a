# Cross toolchain for 32-bit Windows (posix thread model), for hosts that only
# load 32-bit effects. The module is built as Quorvel32.dll.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# SSE2 arithmetic instead of the x87 unit: single-precision step lengths then
# round exactly as in the 64-bit and native builds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
