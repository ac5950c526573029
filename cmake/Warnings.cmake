# One warning set for every target of the project.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wshadow -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
