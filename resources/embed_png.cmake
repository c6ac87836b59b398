# Writes a C++ source that carries every PNG the resource script lists, with a lookup table by
# resource id, so that Linux builds hold the same images as the DLL. The assembler includes the
# files' bytes as they are (.incbin): megabytes of images compile in no time, and the source
# names the files, so their object must be rebuilt when they change (OBJECT_DEPENDS).
#   cmake -DRC_FILE=dranvelor.rc -DOUTPUT=embedded_png.cpp -P embed_png.cmake

include(${CMAKE_CURRENT_LIST_DIR}/png_resources.cmake)
dranvelor_png_resources(${RC_FILE} ids files)

set(blobs "")
set(declarations "")
set(entries "")
list(LENGTH ids count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET ids ${index} id)
  list(GET files ${index} file)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${RC_FILE} names ${file}, which does not exist")
  endif()
  set(name dranvelor_png${index})
  string(APPEND blobs "    \".globl ${name}, ${name}_end\\n.hidden ${name}, ${name}_end\\n\"\n"
                      "    \"${name}:\\n.incbin \\\"${file}\\\"\\n${name}_end:\\n\"\n")
  string(APPEND declarations "extern const unsigned char ${name}[], ${name}_end[];\n")
  string(APPEND entries "    {${id}, ${name}, ${name}_end},\n")
endforeach()

set(source "// Generated from ${RC_FILE} by embed_png.cmake.
#include \"resources/embedded_png.h\"
#include \"resources/resource_ids.h\"

asm(\".section .rodata\\n\"
${blobs}    \".previous\\n\");

extern \"C\"
{
${declarations}}

namespace
{

const EmbeddedPng images[] = {
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
