# COMPARE WITH SCALE and SEND CHANGES through the plain PLU core, against the
# simulated scale pacing its line.
tallivos_benchmark(compare_bench ${CMAKE_CURRENT_LIST_DIR}/compare_bench.cpp LIBS plu_core scale_sim)
# The same through the "PLU" page offscreen: SEND CHANGES clicked, and the
# marks of a comparison after an edit.
if(TALLIVOS_BUILD_GUI)
  tallivos_benchmark(compare_page_bench ${CMAKE_CURRENT_LIST_DIR}/compare_page_bench.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/offscreen_benchmark_main.cpp LIBS plu_gui scale_sim)
endif()
