# Writes OUTPUT, a C++ source defining BuiltInLayouts() with the text of every JSON file in
# LAYOUT_DIR, sorted by name. Run with cmake -P at build time, so an edited layout is rebuilt.
file(GLOB layouts "${LAYOUT_DIR}/*.json")
list(SORT layouts)
set(arrays "")
set(entries "")
set(index 0)
foreach(layout IN LISTS layouts)
  get_filename_component(name "${layout}" NAME_WE)
  file(READ "${layout}" bytes HEX)
  string(LENGTH "${bytes}" hexLength)
  math(EXPR length "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
  string(APPEND arrays "const char kLayout${index}[] = {${bytes}};\n")
  string(APPEND entries "    {\"${name}\", std::string_view(kLayout${index}, ${length})},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(content "// Generated from ${LAYOUT_DIR} by EmbedLayouts.cmake; do not edit.
#include \"layouts/BuiltInLayouts.h\"

namespace nimbra {

namespace {

${arrays}
const TBuiltInLayout kLayouts[] = {
${entries}};

}  // namespace

std::span<const TBuiltInLayout> BuiltInLayouts() { return kLayouts; }

}  // namespace nimbra
")
# Only a changed text touches the file, so nothing recompiles without need.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
