# One helper per kind of target. Every target gets the same warnings and the
# sanitizer flags of the build; the include root is src/, so headers are
# included as "foundation/Lists.h", "xml/Xml.h", ...

set(VT_WARNINGS -Wall -Wextra -Wpedantic -Werror
    -Wno-error=maybe-uninitialized -Wno-error=array-bounds
    -Wno-error=stringop-overflow -Wno-restrict)

function(vt_common_options target)
  target_compile_options(${target} PRIVATE ${VT_WARNINGS})
  if(VT_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# vt_library(NAME SOURCES a.cpp ... [DEPS lib ...])
# Creates the static library vt_NAME.
function(vt_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    add_library(vt_${name} INTERFACE)  # nothing written yet
    target_include_directories(vt_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vt_${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(vt_${name} STATIC ${ARG_SOURCES})
  target_include_directories(vt_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vt_${name} PUBLIC ${ARG_DEPS})
  vt_common_options(vt_${name})
  if(VT_SANITIZE)
    target_compile_options(vt_${name} PUBLIC -fsanitize=address,undefined
      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(vt_${name} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# vt_test(NAME SOURCES a_test.cpp ... [DEPS lib ...] [TIMEOUT seconds]
#         [LAUNCHER program] [LOCK name])
# A GoogleTest executable whose tests are discovered by ctest when it runs;
# TIMEOUT limits each of its tests (ctest's default otherwise); LAUNCHER runs
# the executable, for listing and for every test, as LAUNCHER EXE ARGS; no
# two tests holding the same LOCK run at once.
function(vt_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LAUNCHER;LOCK" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()  # nothing written yet
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VT_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  vt_common_options(${name})
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(ARG_LAUNCHER)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${ARG_LAUNCHER})
    # One launch at a time: virtual X servers started side by side can
    # race for a display number.
    list(APPEND properties RESOURCE_LOCK ${ARG_LAUNCHER})
  endif()
  if(ARG_LOCK)
    list(APPEND properties RESOURCE_LOCK ${ARG_LOCK})
  endif()
  if(ARG_TIMEOUT)
    list(APPEND properties TIMEOUT ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties})
endfunction()

# vt_bench(NAME SOURCES a_bench.cpp ... [DEPS lib ...])
function(vt_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()  # nothing written yet
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE VT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  vt_common_options(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)
endfunction()
