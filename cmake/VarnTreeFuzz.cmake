# Fuzz targets. A target is a set of sources defining LLVMFuzzerTestOneInput;
# it becomes
# - with VT_FUZZ, the libFuzzer program NAME (clang, ASan and UBSan);
# - with VT_TESTS, the program NAME_replay and the test NAME_replay, which
#   runs the target once on every stored input of tests/fuzz/corpus/CORPUS
#   and on the project's sample files (examples/, tests/*/data/), with the
#   flags of the build (VT_SANITIZE adds the sanitizers as everywhere).
# Every libFuzzer program is listed in fuzzers.txt of the build folder, one
# line "CORPUS PROGRAM MAX_LEN CORPUS-FOLDER SEED-FOLDER...", for tests/fuzz/run.
include_guard(GLOBAL)

# The whole build with coverage instrumentation and the sanitizers, so that
# the libraries under test report what they do wrong; only the fuzz
# programs link libFuzzer itself. Warnings are GCC's list in other builds;
# with clang they stay warnings.
macro(vt_fuzz_build_options)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VT_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
  set(VT_WARNINGS -Wall -Wextra -Wpedantic)
endmacro()

file(GLOB VT_FUZZ_SEEDS LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/examples ${PROJECT_SOURCE_DIR}/tests/*/data)
set(VT_FUZZ_LIST ${PROJECT_BINARY_DIR}/fuzzers.txt)
file(WRITE ${VT_FUZZ_LIST} "")

# vt_fuzz_target(NAME SOURCES a.cpp ... [DEPS lib ...] CORPUS folder MAX_LEN bytes)
function(vt_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS;MAX_LEN" "SOURCES;DEPS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${ARG_CORPUS})
  set(definitions VT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(VT_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE ${definitions})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    vt_common_options(${name})
    list(JOIN VT_FUZZ_SEEDS " " seeds)
    file(APPEND ${VT_FUZZ_LIST} "${ARG_CORPUS} ${CMAKE_CURRENT_BINARY_DIR}/${name} ${ARG_MAX_LEN} ${corpus} ${seeds}\n")
  endif()
  if(VT_TESTS)
    add_executable(${name}_replay ${ARG_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/FuzzReplay.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_DEPS})
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name}_replay PRIVATE ${definitions})
    vt_common_options(${name}_replay)
    add_test(NAME ${name}_replay COMMAND ${name}_replay -max_len=${ARG_MAX_LEN} ${corpus} ${VT_FUZZ_SEEDS})
    set_tests_properties(${name}_replay PROPERTIES TIMEOUT 300)
  endif()
endfunction()
