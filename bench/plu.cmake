# The PLU table: whole-range transfers through the page offscreen, beside the
# bare exchange, and the PLU text file at full size.
if(TALLIVOS_BUILD_GUI)
  tallivos_benchmark(plu_bench ${CMAKE_CURRENT_LIST_DIR}/plu_bench.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/offscreen_benchmark_main.cpp LIBS plu_gui scale_sim)
endif()
