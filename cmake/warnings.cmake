# Warnings are errors in both builds; applied to our own targets only.
function(quorvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Wformat=2 -Werror)
endfunction()

if(QUORVEL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=${QUORVEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QUORVEL_SANITIZE})
endif()

# Drops the other platform's files from a source list: *_win32.cpp compile
# only into the Windows build, *_posix.cpp only into the native one.
function(quorvel_platform_filter list_var)
  set(files ${${list_var}})
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${list_var} ${files} PARENT_SCOPE)
endfunction()
