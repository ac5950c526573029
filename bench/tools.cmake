# The logo conversion, timed as it runs while a track bar is dragged.
tallivos_benchmark(logo_bench ${CMAKE_CURRENT_LIST_DIR}/logo_bench.cpp LIBS tools_core)
