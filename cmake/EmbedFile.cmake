# Turns files into C++ byte arrays at build time, so the program carries its
# fonts without reading anything from disk.
#
# Included: defines corvane_embed_file(). Run with -P: writes one source file
# from IN (the data), OUT (the .cpp) and SYM (the array's name in namespace
# corvane::embedded); the array is followed by a NUL that the size excludes.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${IN}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # 32 bytes to a line, then each byte as 0x..,
  string(REPEAT "[0-9a-f]" 64 line_digits)
  string(REGEX REPLACE "(${line_digits})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # `extern` keeps the const arrays visible outside this translation unit.
  file(WRITE "${OUT}.tmp"
       "// Generated from ${IN}; do not edit.\n"
       "#include <cstddef>\n"
       "namespace corvane::embedded {\n"
       "alignas(16) extern const unsigned char ${SYM}[${size} + 1] = {\n${bytes}0x00};\n"
       "extern const std::size_t ${SYM}_size = ${size};\n"
       "}  // namespace corvane::embedded\n")
  file(RENAME "${OUT}.tmp" "${OUT}")
  return()
endif()

set(CORVANE_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

# corvane_embed_file(<target> <file> <symbol>): adds a generated source holding
# <file>'s bytes as corvane::embedded::<symbol> to <target>.
function(corvane_embed_file target file symbol)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/embedded"
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYM=${symbol} -P "${CORVANE_EMBED_SCRIPT}"
    DEPENDS "${file}" "${CORVANE_EMBED_SCRIPT}"
    COMMENT "Embedding ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
