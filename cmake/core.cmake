# The effect's code as one static library. Each subsystem folder contributes
# every .cpp; files ending in _win32.cpp and the whole of editor_win/ are
# Win32-only and compile into the Windows build alone; files ending in
# _posix.cpp are their native counterparts. editor_x11/ (the X11 editor
# window, with the editor's images compiled in) is the native build's alone.
set(core_sources)
foreach(sub engine framework gui graphics instance)
  file(GLOB sub_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${sub}/*.cpp)
  list(APPEND core_sources ${sub_sources})
endforeach()
if(WIN32)
  file(GLOB win_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/editor_win/*.cpp)
  list(APPEND core_sources ${win_sources})
else()
  file(GLOB x11_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/editor_x11/*.cpp)
  include(cmake/editor_images.cmake)
  quorvel_embed_images(${CMAKE_BINARY_DIR}/generated/editor_images.cpp)
  list(APPEND core_sources ${x11_sources} ${CMAKE_BINARY_DIR}/generated/editor_images.cpp)
endif()
quorvel_platform_filter(core_sources)

add_library(quorvel_core STATIC ${core_sources})
quorvel_warnings(quorvel_core)
target_include_directories(quorvel_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorvel_core PUBLIC Quorvel::png)
if(WIN32)
  target_compile_definitions(quorvel_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  target_link_libraries(quorvel_core PUBLIC gdi32 user32 comctl32 comdlg32 shell32 ole32 advapi32 msimg32)
else()
  target_link_libraries(quorvel_core PUBLIC ZLIB::ZLIB Threads::Threads X11::X11 X11::Xext
                                            Freetype::Freetype Fontconfig::Fontconfig ${CMAKE_DL_LIBS})
endif()
