#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringView>

// The number conventions every subsystem shares: how text becomes a number,
// how reals become integers, and how numbers are written back as text.
namespace orbet::num {

// Lenient conversion: leading blanks are skipped, the number ends at the first
// character that cannot continue it, and text that does not start with a
// number gives 0. Never fails.
double val(QStringView text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Rounds half to even and checks the range of the target integer; nullopt
// when the value does not fit (the caller then skips the step).
std::optional<std::int64_t> toInteger(double value, std::int64_t min, std::int64_t max);
std::optional<std::int16_t> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);

// Integer division after rounding both operands half to even; the quotient is
// truncated toward zero. A divisor that rounds to zero gives 0.
std::int64_t intDiv(double dividend, double divisor);

// Booleans stored as numbers count as on whenever they are not zero.
inline bool isOn(double value) {
    return value != 0.0;
}

// Shortest decimal text that reads back as the same value, with "." as the
// decimal point: 10.5, 2535, 1234.5. Single-precision values use the shortest
// form of the float so 0.1f prints as 0.1.
QString shortestReal(double value);
QString shortestReal(float value);

// The form with one leading blank for non-negative numbers and "-" for
// negative ones: " 3", "-1", " 10.5".
QString signedText(double value);

} // namespace orbet::num
