# Fuzz targets: every tests/fuzz/*_fuzz.cpp defines LLVMFuzzerTestOneInput;
# the other .cpp files there (besides replay_main.cpp) are helpers they share.
#   QUORVEL_FUZZ=ON (clang, tools/build.sh fuzz): each target becomes a
#     libFuzzer executable <stem>_fuzz, and the core is built with coverage
#     instrumentation; `fuzz_targets` builds them all.
#   Otherwise, natively: each target is linked with replay_main.cpp into
#     fuzz_replay_<stem>, which ctest runs over tests/fuzz/seeds/<stem> and
#     tests/fuzz/regressions/<stem>: every seed and every input that once
#     failed is part of the ordinary suite.
if(WIN32)
  return()
endif()

set(fuzz_dir ${CMAKE_SOURCE_DIR}/tests/fuzz)
file(GLOB fuzz_targets CONFIGURE_DEPENDS ${fuzz_dir}/*_fuzz.cpp)
file(GLOB fuzz_helpers CONFIGURE_DEPENDS ${fuzz_dir}/*.cpp)
list(REMOVE_ITEM fuzz_helpers ${fuzz_targets} ${fuzz_dir}/replay_main.cpp)

# The VST 3 target plays host with the test host's objects; the CLAP target
# with the CLAP tests' small host.
add_library(quorvel_fuzz_support STATIC ${fuzz_helpers} ${CMAKE_SOURCE_DIR}/tests/support/empty.cpp
                                        ${CMAKE_SOURCE_DIR}/tools/host/vst3_host_objects.cpp
                                        ${CMAKE_SOURCE_DIR}/tools/host/host_services.cpp)
quorvel_warnings(quorvel_fuzz_support)
target_include_directories(quorvel_fuzz_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorvel_fuzz_support PUBLIC quorvel_core quorvel_vst3 quorvel_clap)

if(QUORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORVEL_FUZZ needs clang (libFuzzer)")
  endif()
  target_compile_options(quorvel_core PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(quorvel_fuzz_support PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(quorvel_vst3 PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(quorvel_clap PRIVATE -fsanitize=fuzzer-no-link)
  if(TARGET quorvel_png)
    target_compile_options(quorvel_png PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  add_custom_target(fuzz_targets)
  foreach(source ${fuzz_targets})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    quorvel_warnings(${name})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE quorvel_fuzz_support)
    add_dependencies(fuzz_targets ${name})
  endforeach()
else()
  foreach(source ${fuzz_targets})
    get_filename_component(name ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" stem ${name})
    add_executable(fuzz_replay_${stem} ${source} ${fuzz_dir}/replay_main.cpp)
    quorvel_warnings(fuzz_replay_${stem})
    target_link_libraries(fuzz_replay_${stem} PRIVATE quorvel_fuzz_support)
    add_test(NAME fuzz_replay_${stem}
             COMMAND fuzz_replay_${stem} ${fuzz_dir}/seeds/${stem} ${fuzz_dir}/regressions/${stem})
    # A bound on single allocations, as the fuzzer's memory limit gives: an
    # input that makes a decoder reserve gigabytes must fail here too.
    set_tests_properties(fuzz_replay_${stem} PROPERTIES TIMEOUT 300
                         ENVIRONMENT "ASAN_OPTIONS=max_allocation_size_mb=512")
  endforeach()
endif()
