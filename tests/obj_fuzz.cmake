# The OBJ loader's libFuzzer target, built with clang++ apart from the main
# build's compiler, with AddressSanitizer and UndefinedBehaviorSanitizer.
#   ctest -R obj_fuzz_replay    replays the seed corpus and every unsafe-input
#                               file once (part of `make test`)
#   cmake --build build --target fuzz_obj_long
#                               fuzzes for OBJ_FUZZ_SECONDS (default 600) from
#                               a working copy of the corpus in the build tree
# GL drawing is left out: the target exercises loading, normals and tangents.
find_program(OBJ_FUZZ_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
set(OBJ_FUZZ_SECONDS 600 CACHE STRING "Length of the fuzz_obj_long run in seconds")

set(OBJ_FUZZ_DIR ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)
set(OBJ_FUZZ_BIN ${CMAKE_CURRENT_BINARY_DIR}/obj_fuzzer)

if(NOT OBJ_FUZZ_CLANGXX)
  # Never skip quietly: the replay test fails and says what is missing.
  add_test(NAME obj_fuzz_replay
           COMMAND sh -c "echo 'obj_fuzz: clang++ not found; install the clang package' >&2; exit 1")
  return()
endif()

file(GLOB OBJ_FUZZ_MESH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/mesh/*.cpp)
list(FILTER OBJ_FUZZ_MESH_SOURCES EXCLUDE REGEX ".*_draw\\.cpp$")
file(GLOB OBJ_FUZZ_MATH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/math/*.cpp)
file(GLOB OBJ_FUZZ_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/mesh/*.h ${OBJ_FUZZ_DIR}/*.h)
set(OBJ_FUZZ_SOURCES ${OBJ_FUZZ_DIR}/obj_fuzz.cpp ${OBJ_FUZZ_MESH_SOURCES} ${OBJ_FUZZ_MATH_SOURCES})

add_custom_command(
  OUTPUT ${OBJ_FUZZ_BIN}
  COMMAND ${OBJ_FUZZ_CLANGXX} -std=c++17 -O1 -g -fno-omit-frame-pointer
          -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          -Wall -Wextra -I${CMAKE_SOURCE_DIR} ${OBJ_FUZZ_SOURCES} -o ${OBJ_FUZZ_BIN}
  DEPENDS ${OBJ_FUZZ_SOURCES} ${OBJ_FUZZ_HEADERS}
  COMMENT "Building the OBJ fuzz target with clang++ (ASan, UBSan, libFuzzer)"
  VERBATIM)
add_custom_target(obj_fuzz_target ALL DEPENDS ${OBJ_FUZZ_BIN})

# One pass over our seed files and the unsafe-input files, nothing else.
add_test(NAME obj_fuzz_replay
         COMMAND ${OBJ_FUZZ_BIN} -runs=0 ${OBJ_FUZZ_DIR}/corpus ${OBJ_FUZZ_DIR}/unsafe
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(obj_fuzz_replay PROPERTIES TIMEOUT 120
                     ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")

set(OBJ_FUZZ_WORK ${CMAKE_CURRENT_BINARY_DIR}/obj_fuzz_corpus)
add_custom_target(fuzz_obj_long
  COMMAND ${CMAKE_COMMAND} -E make_directory ${OBJ_FUZZ_WORK}
  COMMAND ${CMAKE_COMMAND} -E env UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
          ${OBJ_FUZZ_BIN} -max_total_time=${OBJ_FUZZ_SECONDS} -max_len=4096
          -dict=${OBJ_FUZZ_DIR}/obj.dict -print_final_stats=1
          -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/obj_fuzz_
          ${OBJ_FUZZ_WORK} ${OBJ_FUZZ_DIR}/corpus ${OBJ_FUZZ_DIR}/unsafe
  DEPENDS obj_fuzz_target
  USES_TERMINAL
  COMMENT "Fuzzing the OBJ loader for ${OBJ_FUZZ_SECONDS} s")
