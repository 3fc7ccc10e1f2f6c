# Every target of the project compiles with the same strict warnings, treated as errors.
add_library(nimbra_warnings INTERFACE)
target_compile_options(nimbra_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wnull-dereference -Wimplicit-fallthrough -Werror)
