# COMPARE WITH SCALE and SEND CHANGES through the plain PLU core, against the
# simulated scale pacing its line.
tallivos_benchmark(compare_bench ${CMAKE_CURRENT_LIST_DIR}/compare_bench.cpp LIBS plu_core scale_sim)
