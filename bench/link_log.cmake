# What the communication log costs an exchange: none, an observer that does
# nothing, formatted lines, lines written to a file.
tallivos_benchmark(link_log_bench link_log_bench.cpp LIBS scale_link)
