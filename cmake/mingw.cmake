# Cross toolchain: Windows executables with MinGW-w64, the program in the win32 thread model (no
# winpthread). The toolchain files name the processor, and the thread model where it is posix, and
# include this one.
set(CMAKE_SYSTEM_NAME Windows)

set(KV_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
if(KV_MINGW_THREADS STREQUAL "posix")
  set(kv_c ${KV_MINGW_TRIPLE}-gcc-posix)
  set(kv_cxx ${KV_MINGW_TRIPLE}-g++-posix)
else()
  set(kv_c ${KV_MINGW_TRIPLE}-gcc-win32 ${KV_MINGW_TRIPLE}-gcc)
  set(kv_cxx ${KV_MINGW_TRIPLE}-g++-win32 ${KV_MINGW_TRIPLE}-g++)
endif()
find_program(CMAKE_C_COMPILER NAMES ${kv_c} REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${kv_cxx} REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KV_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
