# The LV2 glue (lv2/) as a library beside the core, and the bundle built
# from it (native only): Quorvel.lv2/ with the binary quorvel.so (plug-in
# and X11 UI) and manifest.ttl, quorvel.ttl and presets.ttl, which the tool
# quorvel_lv2_ttl writes at build time from the parameter table and the
# factory programs. The LV2 headers come from the system (Debian's lv2-dev).
if(WIN32)
  return()
endif()
find_path(QUORVEL_LV2_INCLUDE_DIR lv2/core/lv2.h)
if(NOT QUORVEL_LV2_INCLUDE_DIR)
  message(FATAL_ERROR "LV2 headers missing: run tools/setup.sh")
endif()

set(lv2_tool_sources ttl_writer_main.cpp ttl_manifest.cpp ttl_plugin.cpp ttl_presets.cpp
                     ttl_ports.cpp ttl_text.cpp)
list(TRANSFORM lv2_tool_sources PREPEND ${CMAKE_SOURCE_DIR}/lv2/)
file(GLOB lv2_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lv2/*.cpp)
list(REMOVE_ITEM lv2_sources ${lv2_tool_sources} ${CMAKE_SOURCE_DIR}/lv2/lv2_entry.cpp)
add_library(quorvel_lv2 STATIC ${lv2_sources})
quorvel_warnings(quorvel_lv2)
target_include_directories(quorvel_lv2 SYSTEM PUBLIC ${QUORVEL_LV2_INCLUDE_DIR})
target_link_libraries(quorvel_lv2 PUBLIC quorvel_core)

# The description writer, also linked into the tests that decode what it writes.
list(REMOVE_ITEM lv2_tool_sources ${CMAKE_SOURCE_DIR}/lv2/ttl_writer_main.cpp)
add_library(quorvel_lv2_describe STATIC ${lv2_tool_sources})
quorvel_warnings(quorvel_lv2_describe)
target_link_libraries(quorvel_lv2_describe PUBLIC quorvel_core)
add_executable(quorvel_lv2_ttl ${CMAKE_SOURCE_DIR}/lv2/ttl_writer_main.cpp)
quorvel_warnings(quorvel_lv2_ttl)
target_link_libraries(quorvel_lv2_ttl PRIVATE quorvel_lv2_describe)

set(lv2_bundle ${CMAKE_BINARY_DIR}/Quorvel.lv2)
add_library(Quorvel_lv2 MODULE ${CMAKE_SOURCE_DIR}/lv2/lv2_entry.cpp)
quorvel_warnings(Quorvel_lv2)
# Only the two entries are exported. Once loaded it stays loaded, as the
# VST 2 module does: unloaded after its X11 editor has been open, it would
# leak what was allocated for the editor.
target_link_options(Quorvel_lv2 PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/lv2/exports.map
                    -Wl,-z,nodelete)
set_target_properties(Quorvel_lv2 PROPERTIES PREFIX "" OUTPUT_NAME quorvel
                      LINK_DEPENDS ${CMAKE_SOURCE_DIR}/lv2/exports.map
                      LIBRARY_OUTPUT_DIRECTORY ${lv2_bundle})
target_link_libraries(Quorvel_lv2 PRIVATE quorvel_lv2)

set(lv2_ttl_files ${lv2_bundle}/manifest.ttl ${lv2_bundle}/quorvel.ttl ${lv2_bundle}/presets.ttl)
add_custom_command(OUTPUT ${lv2_ttl_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${lv2_bundle}
  COMMAND quorvel_lv2_ttl ${lv2_bundle}
  DEPENDS quorvel_lv2_ttl
  COMMENT "Describing Quorvel.lv2 for hosts" VERBATIM)
target_sources(Quorvel_lv2 PRIVATE ${lv2_ttl_files})
