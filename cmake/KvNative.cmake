# Native build: the portable core and its tests, with sanitizers; ctest runs everything.

# The fuzz build (clang, build/fuzz) holds nothing but the libFuzzer targets.
option(KV_FUZZ "Build only the libFuzzer targets (needs clang)" OFF)
if(KV_FUZZ)
  add_subdirectory(tests/fuzz)
  return()
endif()
option(KV_SANITIZE "Build the core and the tests with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(KV_SANITIZE)
  set(KV_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${KV_SANITIZER_FLAGS})
  add_link_options(${KV_SANITIZER_FLAGS})
endif()

# Where the two cross builds put kestrovan99.exe; the build checks and the end-to-end tests read them.
set(KV_WIN32_DIR ${PROJECT_SOURCE_DIR}/build/win32 CACHE PATH "Folder of the 32-bit cross build")
set(KV_WIN64_DIR ${PROJECT_SOURCE_DIR}/build/win64 CACHE PATH "Folder of the 64-bit cross build")

enable_testing()

if(KV_CORE_SOURCES)
  add_library(kvcore STATIC ${KV_CORE_SOURCES})
  target_include_directories(kvcore PUBLIC ${PROJECT_SOURCE_DIR}/src)
else()
  message(WARNING "No core sources under src/{${KV_CORE_DIRS}}: kvcore is not built")
endif()

file(GLOB KV_TEST_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/fake/*.cpp
     ${PROJECT_SOURCE_DIR}/tests/contract/*.cpp)
if(KV_TEST_SOURCES)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(kvtests ${KV_TEST_SOURCES})
  target_include_directories(kvtests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  if(TARGET kvcore)
    target_link_libraries(kvtests PRIVATE kvcore)
  endif()
  if(TARGET GTest::gmock)
    target_link_libraries(kvtests PRIVATE GTest::gmock)
  endif()
  target_link_libraries(kvtests PRIVATE GTest::gtest_main)
  gtest_discover_tests(kvtests
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS unit
               ENVIRONMENT "UBSAN_OPTIONS=print_stacktrace=1;ASAN_OPTIONS=detect_stack_use_after_return=1")
endif()

# Every build checks the include direction first: no folder of src/ reaches one above it.
file(GLOB_RECURSE KV_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/layers.stamp
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check_layers.py ${PROJECT_SOURCE_DIR}/src
          ${CMAKE_BINARY_DIR}/layers.stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/check_layers.py ${KV_ALL_SOURCES}
  COMMENT "Checking that no folder of src/ includes a header of a folder above it"
  VERBATIM)
add_custom_target(layers ALL DEPENDS ${CMAKE_BINARY_DIR}/layers.stamp)

add_subdirectory(tests/build)

# Each fuzz target runs for a bounded time from its seeds; scripts/fuzz runs them for longer.
set(KV_FUZZ_DIR ${PROJECT_SOURCE_DIR}/build/fuzz CACHE PATH "Folder of the fuzz build")
set(KV_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs in the test suite")
foreach(target actions megabytes)
  add_test(NAME fuzz.${target}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/fuzz/run_fuzz ${KV_FUZZ_DIR}/${target}_fuzz
                   ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${target} ${KV_FUZZ_SECONDS})
  set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT 300)
endforeach()

add_subdirectory(tools/helpgen)
add_subdirectory(tests/contract)
add_subdirectory(tests/e2e)
