#include "display/text/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace orbet {

namespace {

inline bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next() {
    RtfToken token;
    const std::size_t n = input_.size();
    if (pos_ >= n) return token;
    const char c = input_[pos_];
    if (c == '{') {
        ++pos_;
        token.type = RtfTokenType::GroupOpen;
        return token;
    }
    if (c == '}') {
        ++pos_;
        token.type = RtfTokenType::GroupClose;
        return token;
    }
    if (c != '\\') {
        const std::size_t start = pos_;
        const char* p = input_.data();
        while (pos_ < n && p[pos_] != '\\' && p[pos_] != '{' && p[pos_] != '}')
            ++pos_;
        token.type = RtfTokenType::Text;
        token.text = input_.substr(start, pos_ - start);
        return token;
    }

    ++pos_;
    if (pos_ >= n) return token;
    const char d = input_[pos_];
    if (!isLetter(d)) {
        ++pos_;
        if (d == '\'' && pos_ + 1 < n) {
            const int high = hexValue(input_[pos_]);
            const int low = hexValue(input_[pos_ + 1]);
            if (high >= 0 && low >= 0) {
                pos_ += 2;
                token.type = RtfTokenType::HexByte;
                token.byte = static_cast<unsigned char>(high * 16 + low);
                return token;
            }
        }
        token.type = RtfTokenType::ControlSymbol;
        token.symbol = (d == '\r' || d == '\n') ? '\n' : d;
        return token;
    }

    const std::size_t start = pos_;
    while (pos_ < n && isLetter(input_[pos_]))
        ++pos_;
    token.type = RtfTokenType::ControlWord;
    token.word = input_.substr(start, pos_ - start);

    bool negative = false;
    if (pos_ + 1 < n && input_[pos_] == '-' && isDigit(input_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    if (pos_ < n && isDigit(input_[pos_])) {
        constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        while (pos_ < n && isDigit(input_[pos_])) {
            value = std::min<std::int64_t>(value * 10 + (input_[pos_] - '0'), limit + 1);
            ++pos_;
        }
        token.hasParameter = true;
        token.parameter = static_cast<std::int32_t>(negative ? -value : std::min(value, limit));
    }
    if (pos_ < n && input_[pos_] == ' ') ++pos_;
    return token;
}

std::string_view RtfTokenizer::takeBinary(std::int64_t count) {
    const std::size_t available = input_.size() - pos_;
    const std::size_t taken =
        count <= 0 ? 0 : std::min<std::size_t>(available, static_cast<std::size_t>(count));
    const std::string_view data = input_.substr(pos_, taken);
    pos_ += taken;
    return data;
}

} // namespace orbet
