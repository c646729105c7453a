# Tests, one executable per subsystem:
#   tests/<sub>/*_test.cpp     native GoogleTest, run directly (sanitizers apply)
#   tests/<sub>/*_wintest.cpp  Windows GoogleTest, run under Wine
#   tests/support/*.cpp        shared test helpers, linked into both kinds
#   tests/module/*.sh          scripts run against the built module and test host
#                              of this configuration (Quorvel.so natively, Quorvel.dll under Wine)
#   tests/bench/*_bench.cpp    Google Benchmark, native only, built but not run
enable_testing()
include(GoogleTest)

file(GLOB support_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
quorvel_platform_filter(support_sources)
add_library(quorvel_test_support STATIC ${support_sources} ${CMAKE_SOURCE_DIR}/tests/support/empty.cpp)
quorvel_warnings(quorvel_test_support)
target_include_directories(quorvel_test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
# Where tests find the project's files when run outside ctest.
target_compile_definitions(quorvel_test_support PUBLIC QUORVEL_SOURCE_ROOT="${CMAKE_SOURCE_DIR}")
if(WIN32)
  target_link_libraries(quorvel_test_support PUBLIC quorvel_core gtest gmock)
else()
  target_link_libraries(quorvel_test_support PUBLIC quorvel_core GTest::gtest GTest::gmock)
endif()

set(test_suffix "_test")
if(WIN32)
  set(test_suffix "_wintest")
endif()

foreach(sub engine framework gui graphics editor_win editor_x11 host instance vst3 clap lv2)
  file(GLOB sub_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${sub}/*${test_suffix}.cpp)
  if(NOT sub_tests)
    continue()
  endif()
  set(exe ${sub}${test_suffix}s)
  add_executable(${exe} ${sub_tests})
  quorvel_warnings(${exe})
  target_link_libraries(${exe} PRIVATE quorvel_test_support)
  if(sub STREQUAL vst3)
    # The glue itself, and the test host's objects that play the host's part.
    target_sources(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tools/host/vst3_host_objects.cpp
                                  ${CMAKE_SOURCE_DIR}/tools/host/host_services.cpp)
    target_link_libraries(${exe} PRIVATE quorvel_vst3)
  endif()
  if(sub STREQUAL host)
    # The CLAP mode's value conversion, against the effect's own, and the
    # objects the plug-in reaches the host through.
    target_sources(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tools/host/clap_param_values.cpp
                                  ${CMAKE_SOURCE_DIR}/tools/host/clap_host_objects.cpp
                                  ${CMAKE_SOURCE_DIR}/tools/host/clap_host_platform_posix.cpp
                                  ${CMAKE_SOURCE_DIR}/tools/host/host_services.cpp)
    target_include_directories(${exe} SYSTEM PRIVATE ${CMAKE_SOURCE_DIR}/third_party)
  endif()
  if(sub STREQUAL clap)
    # The glue itself, and the VST 3 glue with the test host's objects to
    # compare against.
    target_sources(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tools/host/vst3_host_objects.cpp
                                  ${CMAKE_SOURCE_DIR}/tools/host/host_services.cpp)
    target_link_libraries(${exe} PRIVATE quorvel_clap quorvel_vst3)
  endif()
  if(sub STREQUAL lv2)
    # The glue, driven through its own entries.
    target_link_libraries(${exe} PRIVATE quorvel_lv2)
  endif()
  if(sub STREQUAL editor_x11 OR sub STREQUAL lv2)
    # Real pointer and keyboard input through the server's test extension.
    target_link_libraries(${exe} PRIVATE X11::Xtst)
  endif()
  if(WIN32)
    target_link_libraries(${exe} PRIVATE gtest_main)
    target_link_options(${exe} PRIVATE -static)
    add_test(NAME ${exe} COMMAND ${exe})
    set_tests_properties(${exe} PROPERTIES TIMEOUT 300
                         ENVIRONMENT "QUORVEL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  else()
    target_link_libraries(${exe} PRIVATE GTest::gtest_main)
    gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "QUORVEL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endif()
endforeach()

# Script tests against the real module through the test host.
if(WIN32)
  set(module_file ${CMAKE_BINARY_DIR}/Quorvel.dll)
  set(host_file ${CMAKE_BINARY_DIR}/quorvel_host.exe)
  set(run_prefix ${CMAKE_SOURCE_DIR}/tools/wine_run.sh)
  set(platform windows)
else()
  set(module_file ${CMAKE_BINARY_DIR}/Quorvel.so)
  set(host_file ${CMAKE_BINARY_DIR}/quorvel_host)
  set(run_prefix "")
  set(platform native)
endif()
# What a host lists from a VST 3 bundle's factory, for the bundle description
# test (tests/module/vst3_moduleinfo.sh).
if(TARGET Quorvel_vst3)
  set(module_loader ${CMAKE_SOURCE_DIR}/tools/host/plugin_module.cpp
                    ${CMAKE_SOURCE_DIR}/tools/host/plugin_module_posix.cpp
                    ${CMAKE_SOURCE_DIR}/tools/host/plugin_module_win32.cpp)
  quorvel_platform_filter(module_loader)
  add_executable(vst3_factory_info ${CMAKE_SOURCE_DIR}/tests/module/vst3_factory_info.cpp ${module_loader})
  quorvel_warnings(vst3_factory_info)
  target_include_directories(vst3_factory_info PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(vst3_factory_info SYSTEM PRIVATE ${QUORVEL_VST3_API_DIR})
  if(WIN32)
    target_link_options(vst3_factory_info PRIVATE -static)
  else()
    target_link_libraries(vst3_factory_info PRIVATE ${CMAKE_DL_LIBS})
  endif()
endif()

file(GLOB module_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/module/*.sh)
if(NOT TARGET Quorvel_lv2)
  list(FILTER module_tests EXCLUDE REGEX "/lv2_[a-z0-9_]+\\.sh$")  # the LV2 bundle is native only
endif()
foreach(script ${module_tests})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME module_${name} COMMAND bash ${script})
  set_tests_properties(module_${name} PROPERTIES TIMEOUT 300 ENVIRONMENT
    "QUORVEL_MODULE=${module_file};QUORVEL_HOST=${host_file};QUORVEL_RUN=${run_prefix};QUORVEL_PLATFORM=${platform};QUORVEL_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUORVEL_BINARY_DIR=${CMAKE_BINARY_DIR};QUORVEL_OBJDUMP=${CMAKE_OBJDUMP}")
endforeach()

if(NOT WIN32 AND QUORVEL_BENCHMARKS)
  file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*_bench.cpp)
  if(bench_sources)
    add_executable(quorvel_bench ${bench_sources})
    quorvel_warnings(quorvel_bench)
    target_link_libraries(quorvel_bench PRIVATE quorvel_test_support benchmark::benchmark_main)
  endif()
endif()
