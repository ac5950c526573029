# Start-up time and peak memory of the utility beside the smallest Qt Widgets
# program, and whole PLU tables at real line speeds through the main window
# beside a client with no window.
if(TALLIVOS_BUILD_GUI)
  add_executable(minimal_qt_window ${CMAKE_CURRENT_LIST_DIR}/minimal_qt_window.cpp)
  target_link_libraries(minimal_qt_window PRIVATE Qt6::Widgets project_warnings)
  add_executable(utility_startup ${CMAKE_CURRENT_LIST_DIR}/utility_startup.cpp)
  target_link_libraries(utility_startup PRIVATE app_gui project_warnings)
  # Where the real-window transfer in scripts/benchmarks clicks.
  add_executable(click_points ${CMAKE_CURRENT_LIST_DIR}/click_points.cpp)
  target_link_libraries(click_points PRIVATE app_gui project_warnings)
  tallivos_benchmark(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp LIBS Qt6::Widgets)
  add_dependencies(startup_bench minimal_qt_window utility_startup)
  tallivos_benchmark(transfer_bench ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/offscreen_benchmark_main.cpp LIBS app_gui scale_sim)
endif()
