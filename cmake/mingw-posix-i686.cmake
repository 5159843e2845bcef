# The contract program for 32-bit Windows (build/contract-win32): GoogleTest needs std::mutex,
# which only the posix thread model of MinGW-w64 has.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KV_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
