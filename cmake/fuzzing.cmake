# add_fuzzer(NAME SOURCES... [LIBS libs...]): a libFuzzer executable, built only
# with -DFUZZ=ON and clang. Each target is named fuzz_<what>; `make fuzz` runs
# every executable in the fuzz build's fuzz/ folder. With FUZZ=ON all code is
# built with coverage instrumentation and the address and undefined-behaviour
# sanitizers, so the libraries that a fuzzer links are instrumented too.
if(FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FUZZ=ON needs clang (configure with CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

function(add_fuzzer name)
  if(NOT FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
