# Writes a C++ source holding every PNG that the resource script lists, as byte arrays with
# a lookup table by resource id, so that Linux builds carry the same images as the DLL.
#   cmake -DRC_FILE=dranvelor.rc -DOUTPUT=embedded_png.cpp -P embed_png.cmake

include(${CMAKE_CURRENT_LIST_DIR}/png_resources.cmake)
dranvelor_png_resources(${RC_FILE} ids files)

# CMake's regular expressions have no counted repetition, so spell the 32 bytes out.
string(REPEAT "0x..," 32 line_of_bytes)
set(arrays "")
set(entries "")
list(LENGTH ids count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET ids ${index} id)
  list(GET files ${index} file)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Lines of 32 bytes keep the source readable by editors and compilers alike.
  string(REGEX REPLACE "(${line_of_bytes})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char png${index}[${size}] = {\n${bytes}\n};\n\n")
  string(APPEND entries "    {${id}, png${index}, sizeof png${index}},\n")
endforeach()

set(source "// Generated from ${RC_FILE} by embed_png.cmake.
#include \"resources/embedded_png.h\"
#include \"resources/resource_ids.h\"

namespace
{

${arrays}const EmbeddedPng images[] = {
${entries}};

} // namespace

const EmbeddedPng* findEmbeddedPng(int id)
{
    for (const EmbeddedPng& image : images)
        if (image.id == id)
            return &image;
    return nullptr;
}
")
file(WRITE ${OUTPUT}.tmp "${source}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
