# Writes a C++ source defining kSkinGlyphs as the text of INPUT.
#   cmake -DINPUT=glyphs.txt -DOUTPUT=glyphs.cpp -P embed_text.cmake
file(READ ${INPUT} text)
set(source "// Generated from ${INPUT} by embed_text.cmake.\nextern const char kSkinGlyphs[];\nconst char kSkinGlyphs[] = R\"glyphs(${text})glyphs\";\n")
file(WRITE ${OUTPUT}.tmp "${source}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
