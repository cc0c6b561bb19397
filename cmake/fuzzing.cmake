# add_fuzzer(NAME SOURCES... [LIBS libs...] SEEDS FOLDER MAX_LEN BYTES): a fuzz
# target, named fuzz_<what>, whose checks abort on a failure.
#
# With -DFUZZ=ON and clang it is a libFuzzer executable in the fuzz build's
# fuzz/ folder, and fuzz/NAME.args gives scripts/fuzz.sh its libFuzzer
# arguments: the seed FOLDER (of the calling folder) and -max_len=BYTES, which
# must cover a whole input. With FUZZ=ON all code is built with coverage
# instrumentation and the address and undefined-behaviour sanitizers, so the
# libraries that a fuzzer links are instrumented too.
#
# With BUILD_TESTING it is also built with the plain compiler and a main of
# its own (testing/test_fuzz_seeds.cpp), and ctest runs it over its seeds as
# the test NAME_seeds.
if(FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FUZZ=ON needs clang (configure with CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

function(add_fuzzer name)
  cmake_parse_arguments(ARG "" "SEEDS;MAX_LEN" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SEEDS OR NOT ARG_MAX_LEN)
    message(FATAL_ERROR "add_fuzzer(${name}): SEEDS and MAX_LEN are required")
  endif()
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_SEEDS})
  if(FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.args "-max_len=${ARG_MAX_LEN}\n${seeds}\n")
  elseif(BUILD_TESTING)
    add_executable(${name}_seeds ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/testing/test_fuzz_seeds.cpp)
    target_link_libraries(${name}_seeds PRIVATE ${ARG_LIBS})
    add_test(NAME ${name}_seeds COMMAND ${name}_seeds ${seeds})
  endif()
endfunction()
