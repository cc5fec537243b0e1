#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace orbet::num {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double val(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;

    std::string digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') digits.push_back('-');
        ++i;
    }
    bool any = false;
    while (i < n && isDigit(text[i])) {
        digits.push_back(char(text[i].unicode()));
        ++i;
        any = true;
    }
    if (i < n && text[i] == u'.') {
        digits.push_back('.');
        ++i;
        while (i < n && isDigit(text[i])) {
            digits.push_back(char(text[i].unicode()));
            ++i;
            any = true;
        }
    }
    if (!any) return 0.0;
    // An exponent counts only when digits follow it; "12e" is just 12.
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent.push_back(char(text[j].unicode()));
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j])) {
                exponent.push_back(char(text[j].unicode()));
                ++j;
            }
            digits += exponent;
        }
    }
    const bool negative = digits.front() == '-';
    const char* begin = digits.data() + (negative ? 1 : 0);
    double result = 0.0;
    auto [ptr, ec] = std::from_chars(begin, digits.data() + digits.size(), result);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too large is infinite; too small is zero. Which one it was shows in
        // the sign of the exponent.
        const auto e = digits.find('e');
        const bool tiny = e != std::string::npos && e + 1 < digits.size() && digits[e + 1] == '-';
        result = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -result : result;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5) return floor + 1.0;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<std::int64_t> toInteger(double value, std::int64_t min, std::int64_t max) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < double(min) || r > double(max)) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

std::optional<std::int16_t> toInt16(double value) {
    auto v =
        toInteger(value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    if (!v) return std::nullopt;
    return static_cast<std::int16_t>(*v);
}

std::optional<std::int32_t> toInt32(double value) {
    auto v =
        toInteger(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::int64_t intDiv(double dividend, double divisor) {
    const double a = roundHalfEven(dividend);
    const double b = roundHalfEven(divisor);
    if (b == 0.0 || !std::isfinite(a) || !std::isfinite(b)) return 0;
    return static_cast<std::int64_t>(a) / static_cast<std::int64_t>(b);
}

namespace {

template <typename T> QString shortestOf(T value) {
    if (std::isnan(value)) return QStringLiteral("0");
    char buffer[400];
    // Plain digits for the everyday range, so 100000 never becomes 1e+05.
    const T magnitude = value < 0 ? -value : value;
    const bool fixed = magnitude == 0 || (magnitude >= T(1e-5) && magnitude < T(1e15));
    auto [end, ec] = fixed ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                           : std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return QStringLiteral("0");
    QString text = QString::fromLatin1(buffer, end - buffer);
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

} // namespace

QString shortestReal(double value) {
    return shortestOf(value);
}

QString shortestReal(float value) {
    return shortestOf(value);
}

QString signedText(double value) {
    const QString digits = shortestReal(value);
    return digits.startsWith(u'-') ? digits : QLatin1Char(' ') + digits;
}

} // namespace orbet::num
