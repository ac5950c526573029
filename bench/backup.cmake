# Whole-scale backup at line speed, through the plain core the companion runs.
tallivos_benchmark(backup_bench ${CMAKE_CURRENT_LIST_DIR}/backup_bench.cpp LIBS backup_core scale_sim)
