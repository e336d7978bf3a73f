# Turns files into a C++ table of embedded resources (run with cmake -P).
#   OUTPUT   the .cpp file to write
#   TYPE     the resource type of every entry ("DATA")
#   ENTRIES  NAME=path pairs separated by "|"
string(REPLACE "|" ";" entries "${ENTRIES}")
set(arrays "")
set(rows "")
set(index 0)
foreach(entry IN LISTS entries)
  string(FIND "${entry}" "=" eq)
  string(SUBSTRING "${entry}" 0 ${eq} name)
  math(EXPR start "${eq} + 1")
  string(SUBSTRING "${entry}" ${start} -1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "alignas(8) const unsigned char kResource${index}[] = {\n${bytes}0};\n")
  string(APPEND rows "    {\"${TYPE}\", \"${name}\", 0, kResource${index}, ${size}u},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from the resource files; do not edit.
#include \"toolkit/platform/cairo/embeddedresources.h\"

namespace {
${arrays}
const VSTGUI::Platform::EmbeddedResource kTable[] = {
${rows}};

const bool kRegistered = VSTGUI::Platform::registerEmbeddedResources(kTable, sizeof(kTable) / sizeof(kTable[0]));
}  // namespace
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
