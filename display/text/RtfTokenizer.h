#pragma once

#include <cstdint>
#include <string_view>

namespace orbet {

enum class RtfTokenType {
    End,
    GroupOpen,
    GroupClose,
    ControlWord,   // word, hasParameter, parameter
    ControlSymbol, // symbol; a backslash before a line end reads as symbol '\n'
    HexByte,       // byte, from \'xx with two hexadecimal digits
    Text,          // text: a run of bytes holding no backslash or brace, line ends included
};

struct RtfToken {
    RtfTokenType type = RtfTokenType::End;
    std::string_view word;
    std::string_view text;
    bool hasParameter = false;
    std::int32_t parameter = 0;
    char symbol = 0;
    unsigned char byte = 0;
};

// Splits RTF into tokens without copying: words and text runs point into the
// input, which must outlive the tokenizer. Never fails: a \' without two hex
// digits reads as symbol '\'' followed by whatever comes next, a parameter too
// large for 32 bits is clamped, and the end of input ends any token.
class RtfTokenizer {
  public:
    explicit RtfTokenizer(std::string_view input) : input_(input) {}

    RtfToken next();

    // The raw bytes that follow \binN: at most count, never past the end.
    std::string_view takeBinary(std::int64_t count);

    std::size_t position() const { return pos_; }

  private:
    std::string_view input_;
    std::size_t pos_ = 0;
};

} // namespace orbet
