#pragma once
// UTF-8 checks for text read from disk: a validator that can be fed in
// pieces, a lossy conversion for file names, and white-space trimming.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Validates a byte stream handed over in pieces; a character may be split
// across two pieces.
class Utf8StreamValidator {
public:
    // Checks the next piece. Returns the offset in `bytes` of the first byte
    // that makes the stream invalid, or npos when all is well so far.
    std::size_t feed(std::string_view bytes);
    // True when the stream so far ends inside a character.
    bool incomplete() const { return need_ != 0; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::uint32_t need_ = 0;  // continuation bytes still expected
    std::uint8_t lo_ = 0x80;  // allowed range of the next continuation byte
    std::uint8_t hi_ = 0xBF;
};

bool utf8_bytes_valid(std::string_view bytes);

// Every ill-formed sequence becomes U+FFFD.
std::string utf8_lossy(std::string_view bytes);

// Removes Unicode white space (ASCII blanks included) at both ends. The text
// must be valid UTF-8.
std::string_view trim_field_space(std::string_view text);

}  // namespace corvane
