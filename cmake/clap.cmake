# The CLAP glue (clap/) as a library beside the core, and the module built
# from it: Quorvel.clap, a shared object natively and a DLL with the
# editor's images as resources on 64-bit Windows. The interface
# declarations come from third_party/clap (tools/setup.sh).
set(QUORVEL_CLAP_API_DIR ${CMAKE_SOURCE_DIR}/third_party/clap)
if(NOT EXISTS ${QUORVEL_CLAP_API_DIR}/entry.h)
  message(FATAL_ERROR "CLAP interface headers missing: run tools/setup.sh")
endif()
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()  # the 32-bit build serves VST 2 hosts only
endif()

file(GLOB clap_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/clap/*.cpp)
quorvel_platform_filter(clap_sources)
list(REMOVE_ITEM clap_sources ${CMAKE_SOURCE_DIR}/clap/module_entry.cpp)
add_library(quorvel_clap STATIC ${clap_sources})
quorvel_warnings(quorvel_clap)
target_include_directories(quorvel_clap SYSTEM PUBLIC ${CMAKE_SOURCE_DIR}/third_party)
target_link_libraries(quorvel_clap PUBLIC quorvel_core)

if(WIN32)
  add_library(Quorvel_clap SHARED ${CMAKE_SOURCE_DIR}/clap/module_entry.cpp
                                  ${CMAKE_SOURCE_DIR}/img/resources.rc)
  target_link_options(Quorvel_clap PRIVATE -static -static-libgcc -static-libstdc++)
  # No import library: nothing links against the module.
  set_target_properties(Quorvel_clap PROPERTIES PREFIX "" SUFFIX ".clap" OUTPUT_NAME Quorvel
                        ARCHIVE_OUTPUT_NAME Quorvel_clap
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  quorvel_version_resource(Quorvel_clap Quorvel.clap "Quorvel step gate, CLAP effect")
else()
  add_library(Quorvel_clap MODULE ${CMAKE_SOURCE_DIR}/clap/module_entry.cpp)
  # Once loaded it stays loaded, as the VST 2 module does: unloaded after the
  # X11 editor has been open, it would leak what was allocated for the editor.
  target_link_options(Quorvel_clap PRIVATE
                      -Wl,--version-script=${CMAKE_SOURCE_DIR}/clap/exports.map -Wl,-z,nodelete)
  set_target_properties(Quorvel_clap PROPERTIES PREFIX "" SUFFIX ".clap" OUTPUT_NAME Quorvel
                        LINK_DEPENDS ${CMAKE_SOURCE_DIR}/clap/exports.map
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
quorvel_warnings(Quorvel_clap)
target_link_libraries(Quorvel_clap PRIVATE quorvel_clap)
