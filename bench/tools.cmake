# The logo conversion, timed as it runs while a track bar is dragged, and a
# large picture file decoded and fitted as LOAD does it.
if(TALLIVOS_BUILD_GUI)
  tallivos_benchmark(logo_bench ${CMAKE_CURRENT_LIST_DIR}/logo_bench.cpp LIBS tools_picture)
endif()
