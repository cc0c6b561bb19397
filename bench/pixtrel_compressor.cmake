# Google Benchmark of the GIF writer and LZW coder alone, without file reading
# or the driver: bench/pixtrel_compressor.cpp.
if(TARGET pixtrel_core)
  add_executable(pixtrel_compressor_bench ${CMAKE_CURRENT_LIST_DIR}/pixtrel_compressor.cpp)
  target_link_libraries(pixtrel_compressor_bench PRIVATE pixtrel_core benchmark::benchmark)
endif()
