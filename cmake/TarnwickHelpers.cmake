# Small helpers so that each folder's CMakeLists stays a few lines long.

# GoogleTest: Debian's packaged build natively; for Windows, built from the sources Debian installs.
if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(TARNWICK_GTEST gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(TARNWICK_GTEST GTest::gtest GTest::gmock GTest::gtest_main)
endif()

# tarnwick_library(<name> DIR <folder> [DEPS <targets>...])
# A static library of every .cpp directly inside <folder>; the portable logic of one subsystem.
function(tarnwick_library name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # A subsystem that has only headers so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# tarnwick_unit_test(<name> SOURCES <files>... [DEPS <targets>...])
# A native GoogleTest program run by ctest (not built for Windows).
function(tarnwick_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ${TARNWICK_GTEST})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS native)
endfunction()

# tarnwick_win32_test(<name> [SETUPAPI_DOUBLE] SOURCES <files>... [DEPS <targets>...] [ENVIRONMENT <k=v>...])
# A Windows GoogleTest program run by ctest under Wine (through CMAKE_CROSSCOMPILING_EMULATOR).
# SETUPAPI_DOUBLE: the test-double setupapi.dll lies beside the program and replaces Wine's for it.
function(tarnwick_win32_test name)
  cmake_parse_arguments(ARG "SETUPAPI_DOUBLE" "" "SOURCES;DEPS;ENVIRONMENT" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ${TARNWICK_GTEST})
  if(ARG_SETUPAPI_DOUBLE)
    target_link_libraries(${name} PRIVATE tarnwick_simulator)
    add_dependencies(${name} setupapi_double)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:setupapi_double> $<TARGET_FILE_DIR:${name}>)
    list(APPEND ARG_ENVIRONMENT WINEDLLOVERRIDES=setupapi=n)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS wine FIXTURES_REQUIRED wine
    ENVIRONMENT "TARNWICK_BUILD_DIR=${CMAKE_BINARY_DIR};${ARG_ENVIRONMENT}")
endfunction()

# tarnwick_link_lean(<target>)
# Links a Windows program or DLL lean: sections nothing refers to stay out (about 50 KB of the static
# runtime), and sections lie in the file at page boundaries, as they lie in memory, so that the loader maps
# them from the file, shared and clean, where it would otherwise copy them into the process's private memory
# (Wine does, for all 600 KB of tarnwick.exe). The alignment costs about 30 KB of padding.
function(tarnwick_link_lean target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,--file-alignment=0x1000)
endfunction()
