# Warnings for the project's own code, linked PRIVATE into each target.
# Whether they stop the build is the preset's choice
# (CMAKE_COMPILE_WARNING_AS_ERROR).
add_library(tamsel_warnings INTERFACE)
target_compile_options(tamsel_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wcast-align -Wimplicit-fallthrough -Wmissing-declarations)
