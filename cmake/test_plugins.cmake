# Small effects of our own that the test host is tested against:
# fake_plugin.so natively, fake_plugin.dll for Windows, next to the host.
add_library(fake_plugin MODULE ${CMAKE_SOURCE_DIR}/tests/host/fake_plugin.cpp)
quorvel_warnings(fake_plugin)
target_include_directories(fake_plugin PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(fake_plugin PROPERTIES PREFIX "" OUTPUT_NAME fake_plugin
                                             LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
                                             RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(WIN32)
  target_link_options(fake_plugin PRIVATE -static)
endif()
