# Every target of the project compiles with the same strict warnings, treated as errors.
add_library(nimbra_warnings INTERFACE)
target_compile_options(nimbra_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wnull-dereference -Wimplicit-fallthrough -Werror)

# GCC 12 at -O3 reports overlapping copies inside std::string that cannot happen (a known fault of
# that release, mended in later ones); every other warning stays an error.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(nimbra_warnings INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()
