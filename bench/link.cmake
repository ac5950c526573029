# The link against the simulated scale over a pseudo-terminal.
tallivos_benchmark(link_bench link_bench.cpp LIBS scale_link scale_sim)
