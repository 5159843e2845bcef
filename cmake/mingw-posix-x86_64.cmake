# The contract program for 64-bit Windows (build/contract-win64): GoogleTest needs std::mutex,
# which only the posix thread model of MinGW-w64 has.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KV_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
