# The VST 3 glue (vst3/) as a library beside the core, and the bundle built
# from it: Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3 (64-bit Windows,
# with the editor's images as resources) or
# Quorvel.vst3/Contents/x86_64-linux/Quorvel.so (native). The interface
# declarations come from third_party/vst3_c_api (tools/setup.sh).
set(QUORVEL_VST3_API_DIR ${CMAKE_SOURCE_DIR}/third_party/vst3_c_api)
if(NOT EXISTS ${QUORVEL_VST3_API_DIR}/base.h)
  message(FATAL_ERROR "VST 3 interface headers missing: run tools/setup.sh")
endif()
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()  # the 32-bit build serves VST 2 hosts only
endif()

file(GLOB vst3_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/vst3/*.cpp)
quorvel_platform_filter(vst3_sources)
list(FILTER vst3_sources EXCLUDE REGEX "module_exports_[a-z0-9]+\\.cpp$")
add_library(quorvel_vst3 STATIC ${vst3_sources})
quorvel_warnings(quorvel_vst3)
target_include_directories(quorvel_vst3 SYSTEM PUBLIC ${QUORVEL_VST3_API_DIR})
target_link_libraries(quorvel_vst3 PUBLIC quorvel_core)

set(vst3_contents ${CMAKE_BINARY_DIR}/Quorvel.vst3/Contents)
if(WIN32)
  add_library(Quorvel_vst3 SHARED ${CMAKE_SOURCE_DIR}/vst3/module_exports_win32.cpp
                                  ${CMAKE_SOURCE_DIR}/vst3/module_exports.def
                                  ${CMAKE_SOURCE_DIR}/img/resources.rc)
  target_link_options(Quorvel_vst3 PRIVATE -static -static-libgcc -static-libstdc++)
  # No import library: nothing links against the bundle (and its name would
  # clash with Quorvel.dll's).
  set_target_properties(Quorvel_vst3 PROPERTIES PREFIX "" SUFFIX ".vst3" OUTPUT_NAME Quorvel
                        ARCHIVE_OUTPUT_NAME Quorvel_vst3
                        RUNTIME_OUTPUT_DIRECTORY ${vst3_contents}/x86_64-win)
  quorvel_version_resource(Quorvel_vst3 Quorvel.vst3 "Quorvel step gate, VST 3 effect")
else()
  add_library(Quorvel_vst3 MODULE ${CMAKE_SOURCE_DIR}/vst3/module_exports_posix.cpp)
  target_link_options(Quorvel_vst3 PRIVATE
                      -Wl,--version-script=${CMAKE_SOURCE_DIR}/vst3/exports.map)
  set_target_properties(Quorvel_vst3 PROPERTIES PREFIX "" OUTPUT_NAME Quorvel
                        LINK_DEPENDS ${CMAKE_SOURCE_DIR}/vst3/exports.map
                        LIBRARY_OUTPUT_DIRECTORY ${vst3_contents}/x86_64-linux)
endif()
quorvel_warnings(Quorvel_vst3)
target_link_libraries(Quorvel_vst3 PRIVATE quorvel_vst3)

# Contents/Resources: moduleinfo.json, what hosts read to list the plug-in
# without loading its binary, written from the facts the factory is compiled
# from, and the editor's captures it names as the plug-in's snapshots (the
# committed 100 % and 200 % Windows captures). The class id names the
# snapshot files, so a changed factory source configures again.
include(cmake/vst3_facts.cmake)
quorvel_vst3_facts()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUORVEL_VST3_FACT_SOURCES})
set(vst3_resources ${vst3_contents}/Resources)
set(vst3_moduleinfo ${vst3_resources}/moduleinfo.json)
add_custom_command(OUTPUT ${vst3_moduleinfo}
  COMMAND ${CMAKE_COMMAND} -DOUT=${vst3_moduleinfo} -P ${CMAKE_SOURCE_DIR}/cmake/vst3_moduleinfo.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/vst3_moduleinfo.cmake ${CMAKE_SOURCE_DIR}/cmake/vst3_facts.cmake
          ${QUORVEL_VST3_FACT_SOURCES}
  COMMENT "Describing Quorvel.vst3 for hosts" VERBATIM)
set(vst3_snapshot ${vst3_resources}/Snapshots/${QUORVEL_VST3_CID}_snapshot)
add_custom_command(OUTPUT ${vst3_snapshot}.png ${vst3_snapshot}_2.0x.png
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${vst3_resources}/Snapshots
  COMMAND ${CMAKE_COMMAND} -E make_directory ${vst3_resources}/Snapshots
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/editor.png ${vst3_snapshot}.png
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/editor_200.png ${vst3_snapshot}_2.0x.png
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/editor.png ${CMAKE_SOURCE_DIR}/docs/editor_200.png
  COMMENT "Copying the editor's captures into Quorvel.vst3" VERBATIM)
target_sources(Quorvel_vst3 PRIVATE ${vst3_moduleinfo} ${vst3_snapshot}.png ${vst3_snapshot}_2.0x.png)
