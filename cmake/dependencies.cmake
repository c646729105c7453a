# libpng and zlib: the system packages natively; for Windows, zlib from the
# MinGW package and libpng compiled here from Debian's source (tools/setup.sh).
# The fuzz configuration compiles that same source natively too, so libpng is
# instrumented and the fuzzer sees how far into an image its input got.
set(QUORVEL_LIBPNG_DIR ${CMAKE_SOURCE_DIR}/third_party/libpng)
function(quorvel_png_from_source)
  file(GLOB png_sources ${QUORVEL_LIBPNG_DIR}/png*.c ${QUORVEL_LIBPNG_DIR}/intel/*.c)
  list(FILTER png_sources EXCLUDE REGEX "pngtest\\.c$")
  add_library(quorvel_png STATIC ${png_sources})
  target_include_directories(quorvel_png SYSTEM PUBLIC ${QUORVEL_LIBPNG_DIR})
  target_compile_definitions(quorvel_png PRIVATE PNG_INTEL_SSE_OPT=1)
  add_library(Quorvel::png ALIAS quorvel_png)
endfunction()

if(WIN32)
  if(NOT EXISTS ${QUORVEL_LIBPNG_DIR}/png.h)
    message(FATAL_ERROR "libpng source missing: run tools/setup.sh")
  endif()
  quorvel_png_from_source()
  target_link_libraries(quorvel_png PUBLIC ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)

  # GoogleTest from Debian's source package, cross-compiled for the Wine-run tests.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(PNG REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
  # The native editor window and its text.
  find_package(X11 REQUIRED)
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
  if(QUORVEL_FUZZ AND EXISTS ${QUORVEL_LIBPNG_DIR}/png.h)
    quorvel_png_from_source()
    target_link_libraries(quorvel_png PUBLIC ZLIB::ZLIB m)
  else()
    add_library(Quorvel::png ALIAS PNG::PNG)
  endif()
  if(QUORVEL_BENCHMARKS)
    find_package(benchmark REQUIRED)
  endif()
endif()
