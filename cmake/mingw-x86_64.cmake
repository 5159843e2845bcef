# The same program for 64-bit Windows (build/win64): same sources, same flags.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
