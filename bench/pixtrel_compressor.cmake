# Micro-benchmarks of pixtrel's frame rendering and LZW compressor.
if(TARGET pixtrel_core AND NOT FUZZ)
  add_executable(pixtrel_compressor_bench ${CMAKE_CURRENT_LIST_DIR}/pixtrel_compressor.cpp)
  target_link_libraries(pixtrel_compressor_bench PRIVATE pixtrel_core benchmark::benchmark)
endif()
