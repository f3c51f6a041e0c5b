# Writes a C++ source that holds a file's bytes as an array, so the program carries its
# resources inside it:  cmake -DINPUT=f -DOUTPUT=f.cpp -DSYMBOL=name -P embed_file.cmake
# The source defines `extern const std::uint8_t SYMBOL[]` and `extern const std::size_t SYMBOL_size`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes to a line.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\n\n"
"extern const std::uint8_t ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}_size;\n\n"
"const std::uint8_t ${SYMBOL}[] = {\n  ${bytes}\n};\nconst std::size_t ${SYMBOL}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
