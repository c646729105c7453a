# quorvel_version_resource(TARGET FILE_NAME DESCRIPTION): gives a Windows
# module the version resource of framework/version_win32.rc.in, and links it
# without a time stamp in its PE header so that the same sources give the
# same bytes (the release packages are compared byte for byte).
function(quorvel_version_resource target file_name description)
  set(QUORVEL_RC_FILE_NAME ${file_name})
  set(QUORVEL_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_BINARY_DIR}/version_${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/framework/version_win32.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/engine/version.h)
  target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
endfunction()

# The plug-in module: Quorvel.dll (64-bit Windows, with the editor's images as
# resources), Quorvel32.dll (the same for 32-bit Windows hosts) or
# Quorvel.so (native, with its X11 editor and the images compiled in).
set(module_name Quorvel)
if(WIN32)
  set(exports_def ${CMAKE_SOURCE_DIR}/framework/module_exports.def)
  set(module_description "Quorvel step gate, VST 2 effect for 64-bit hosts")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # MinGW's i686 linker will not export a `main` alias beside VSTPluginMain.
    set(module_name Quorvel32)
    set(module_description "Quorvel step gate, VST 2 effect for 32-bit hosts")
    set(exports_def ${CMAKE_SOURCE_DIR}/framework/module_exports32.def)
  endif()
  add_library(Quorvel SHARED ${exports_def} ${CMAKE_SOURCE_DIR}/img/resources.rc)
  target_link_options(Quorvel PRIVATE -static -static-libgcc -static-libstdc++)
  quorvel_version_resource(Quorvel ${module_name}.dll "${module_description}")
else()
  # The entry lives in the core library; the module only needs a source list.
  # It exports the entry alone, under both names hosts look for (`main` is an
  # alias made at link time: the core library cannot define it, the test
  # programs linking that library have their own). Once loaded it stays
  # loaded, as it did while it exported everything (its unique symbols kept
  # it): unloaded after the X11 editor has been open, it would leak what was
  # allocated for the editor, and the leak checks of the editor tests say so.
  add_library(Quorvel MODULE ${CMAKE_SOURCE_DIR}/tests/support/empty.cpp)
  set(exports_map ${CMAKE_SOURCE_DIR}/framework/module_exports.map)
  target_link_options(Quorvel PRIVATE -Wl,--version-script=${exports_map}
                      -Wl,--defsym=main=VSTPluginMain -Wl,-z,nodelete)
  set_target_properties(Quorvel PROPERTIES LINK_DEPENDS ${exports_map})
endif()
set_target_properties(Quorvel PROPERTIES PREFIX "" OUTPUT_NAME ${module_name}
                                         LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
                                         RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(Quorvel PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,quorvel_core>")

# The headless test host, built for the same platform as the module.
file(GLOB host_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/host/*.cpp)
quorvel_platform_filter(host_sources)
if(WIN32)
  # LV2 bundles are built for Linux only: no LV2 mode in the Windows host.
  list(FILTER host_sources EXCLUDE REGEX "/lv2_[^/]*\\.cpp$")
else()
  # The LV2 mode reads bundles through lilv.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LILV REQUIRED IMPORTED_TARGET lilv-0)
endif()
if(host_sources)
  # The VST 3 mode speaks the interface through the same headers as the glue
  # and shares its text conversion; it links nothing else of the effect.
  add_executable(quorvel_host ${host_sources} ${CMAKE_SOURCE_DIR}/vst3/text16.cpp)
  quorvel_warnings(quorvel_host)
  target_include_directories(quorvel_host PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(quorvel_host SYSTEM PRIVATE ${CMAKE_SOURCE_DIR}/third_party/vst3_c_api)
  # The CLAP mode includes the extracted headers as <clap/...>.
  target_include_directories(quorvel_host SYSTEM PRIVATE ${CMAKE_SOURCE_DIR}/third_party)
  set_target_properties(quorvel_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  if(WIN32)
    target_link_options(quorvel_host PRIVATE -static)
    target_link_libraries(quorvel_host PRIVATE user32 gdi32)
  else()
    target_link_libraries(quorvel_host PRIVATE ${CMAKE_DL_LIBS} X11::X11 PkgConfig::LILV)
  endif()
endif()

# windres does not report the files a resource script pulls in: rebuild the
# resources whenever an image changes.
if(WIN32)
  file(GLOB editor_images CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/img/*.png ${CMAKE_SOURCE_DIR}/img/2x/*.png)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/img/resources.rc PROPERTIES OBJECT_DEPENDS "${editor_images}")
endif()
