# Cross build: kestrovan99.exe for 32-bit (build/win32) or 64-bit Windows (build/win64), as the
# toolchain says. Every executable of this build (the program and any test probe) lands directly in
# the build folder, hardened the same way, with a static runtime so that it imports only DLLs that
# ship with Windows.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KV_WINDOWS_BUILD win64)
else()
  set(KV_WINDOWS_BUILD win32)
endif()

set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

foreach(flag -fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:${flag}>)
endforeach()
# -static: libgcc, libstdc++, libssp (stack protector and fortified calls) and winpthread, if
# anything pulls it in, come from their archives; system DLLs are still reached through their
# import libraries. Sections start on a page in the file as in memory, so that the loader can map
# them from the file and share them; Wine copies an image whose sections are not page-aligned in the
# file into the process's own memory.
add_link_options(-static -static-libgcc -static-libstdc++ -fstack-protector-strong
                 -Wl,--dynamicbase -Wl,--nxcompat -Wl,--file-alignment,4096 -Wl,--section-alignment,4096
                 $<$<CONFIG:Release>:-s>)

set(KV_RES_SRC ${PROJECT_SOURCE_DIR}/res)
set(KV_RES_OUT ${CMAKE_BINARY_DIR}/res)
set(KV_GENERATED_RESOURCES ${KV_RES_OUT}/kestrovan99.ico)
add_custom_command(
  OUTPUT ${KV_GENERATED_RESOURCES}
  COMMAND ${Python3_EXECUTABLE} ${KV_RES_SRC}/make_resources.py ${KV_RES_OUT}
  DEPENDS ${KV_RES_SRC}/make_resources.py
  COMMENT "Drawing the icon"
  VERBATIM)
add_custom_target(resources DEPENDS ${KV_GENERATED_RESOURCES})
# The themed controls' manifest, which the adapter activates around the windows that show them.
configure_file(${KV_RES_SRC}/common_controls.manifest.in ${KV_RES_OUT}/common_controls.manifest @ONLY)

# The contract build (build/contract-win32, -win64) holds nothing but kvcontract.exe, with the
# program's images.
option(KV_CONTRACT "Build only kvcontract.exe, the ports' contracts on the adapter (posix-thread MinGW)" OFF)
if(KV_CONTRACT)
  add_subdirectory(tests/contract/win32)
  return()
endif()
configure_file(${KV_RES_SRC}/version.h.in ${KV_RES_OUT}/version.h @ONLY)
configure_file(${KV_RES_SRC}/kestrovan99.manifest.in ${KV_RES_OUT}/kestrovan99.manifest @ONLY)

# windres finds the files named in the .rc through its include folders.
set_source_files_properties(${KV_RES_SRC}/kestrovan99.rc PROPERTIES
  OBJECT_DEPENDS "${KV_GENERATED_RESOURCES};${KV_RES_SRC}/resource_ids.h;${KV_RES_OUT}/version.h;${KV_RES_OUT}/kestrovan99.manifest;${KV_RES_OUT}/common_controls.manifest")

file(GLOB KV_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/*.cpp)
if(NOT KV_CORE_SOURCES OR NOT KV_WIN32_SOURCES)
  message(FATAL_ERROR "kestrovan99.exe needs the core sources and src/platform/win32/*.cpp")
endif()

# main_win32.cpp puts the program together on the Windows platform.
add_executable(kestrovan99 WIN32 ${PROJECT_SOURCE_DIR}/src/main_win32.cpp ${KV_CORE_SOURCES} ${KV_WIN32_SOURCES}
                                 ${KV_RES_SRC}/kestrovan99.rc)
add_dependencies(kestrovan99 resources)
target_include_directories(kestrovan99 PRIVATE ${PROJECT_SOURCE_DIR}/src ${KV_RES_SRC} ${KV_RES_OUT})
target_link_options(kestrovan99 PRIVATE -municode)
# shell32 and comctl32 are not linked: the program loads them from the system folder at run time,
# comctl32 with the first window that shows its controls (common_controls.h).
target_link_libraries(kestrovan99 PRIVATE user32 gdi32 advapi32)

# The help file and its HTML page (for Windows without a help viewer) go beside the program and into
# the package. They are required: a build without them would ship a program whose every help request
# fails. A cross build copies the ones the native build wrote (scripts/build passes the help file; the
# page sits beside it, same stem); a build on Windows itself builds the help generator and runs it.
set(KV_HELP_FILE "" CACHE FILEPATH "The help file the native build wrote (build/native/kestrovan99.hlp)")
if(KV_HELP_FILE)
  get_filename_component(kv_help_dir ${KV_HELP_FILE} DIRECTORY)
  get_filename_component(kv_help_stem ${KV_HELP_FILE} NAME_WLE)
  set(KV_HELP_PAGE ${kv_help_dir}/${kv_help_stem}.htm)
  # A missing file fails the build here: Ninja has no rule to make it.
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/kestrovan99.hlp ${CMAKE_BINARY_DIR}/kestrovan99.htm
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KV_HELP_FILE} ${CMAKE_BINARY_DIR}/kestrovan99.hlp
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KV_HELP_PAGE} ${CMAKE_BINARY_DIR}/kestrovan99.htm
    DEPENDS ${KV_HELP_FILE} ${KV_HELP_PAGE}
    COMMENT "Copying the help file and page beside kestrovan99.exe"
    VERBATIM)
  add_custom_target(helpfile_copy ALL DEPENDS ${CMAKE_BINARY_DIR}/kestrovan99.hlp ${CMAKE_BINARY_DIR}/kestrovan99.htm)
elseif(CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "KV_HELP_FILE is not set: scripts/build passes the native build's kestrovan99.hlp")
else()
  # helpgen writes ${CMAKE_BINARY_DIR}/kestrovan99.hlp and kestrovan99.htm, beside the program.
  set(HELPGEN_TESTS OFF CACHE BOOL "" FORCE)
  add_subdirectory(tools/helpgen)
endif()

add_subdirectory(tests/e2e/probe)
# The benchmarks' programs, built by this compiler with these flags, run under Wine by scripts/bench.
add_subdirectory(bench)

# The package: the program, its help file and page side by side, as a ZIP archive.
install(TARGETS kestrovan99 RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/kestrovan99.hlp ${CMAKE_BINARY_DIR}/kestrovan99.htm DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kestrovan99)
set(CPACK_PACKAGE_FILE_NAME kestrovan99-${KV_VERSION_TEXT}-${KV_WINDOWS_BUILD})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
