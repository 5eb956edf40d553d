# Writes OUTPUT, a C++ source holding every resource file as a byte array and
# the table EmbeddedResources() that lists them.
# Called as: cmake -DOUTPUT=file.cpp -DSOURCE_DIR=dir -DLIST_FILE=list.cmake -P embed_resources.cmake,
# where LIST_FILE sets RESOURCES to "Kind;id;side;path;..." (paths relative to SOURCE_DIR).
include(${LIST_FILE})
set(body "")
set(table "")
set(index 0)
list(LENGTH RESOURCES count)
math(EXPR last "${count} - 1")
foreach(start RANGE 0 ${last} 4)
  math(EXPR idIndex "${start} + 1")
  math(EXPR sideIndex "${start} + 2")
  math(EXPR pathIndex "${start} + 3")
  list(GET RESOURCES ${start} kind)
  list(GET RESOURCES ${idIndex} id)
  list(GET RESOURCES ${sideIndex} side)
  list(GET RESOURCES ${pathIndex} path)
  file(READ "${SOURCE_DIR}/${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND body "// ${path}\nconst uint8_t kResource${index}[] = {\n${bytes}};\n\n")
  string(APPEND table "        {platform::ui::ResourceKind::${kind}, ${id}, ${side}, kResource${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}.tmp"
"// Generated from the files under resources/ by embed_resources.cmake; do not edit.
#include \"resources/embedded_resources.h\"

namespace {

${body}}  // namespace

std::span<const platform::ui::ResourceEntry> EmbeddedResources() {
    static const platform::ui::ResourceEntry entries[] = {
${table}    };
    return entries;
}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
