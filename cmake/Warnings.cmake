# One warning set for every target of the project.
add_library(project_warnings INTERFACE)
if(MSVC)
  # The sources are UTF-8 whatever the Windows code page.
  target_compile_options(project_warnings INTERFACE /W4 /permissive- /utf-8)
else()
  target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    -Wshadow -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
endif()
