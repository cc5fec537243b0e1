#pragma once

#include <array>
#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbet {

// One stored value of the filter file: text is written quoted, a number
// bare, an empty value as nothing. The reading method is kept in whichever
// form the dialog that set it used, so a file round-trips byte for byte.
struct FilterValue {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    QString text;
    std::int64_t number = 0;

    static FilterValue ofText(const QString& t) { return {t.isEmpty() ? Kind::Empty : Kind::Text, t, 0}; }
    static FilterValue ofNumber(std::int64_t n) { return {Kind::Number, {}, n}; }
    bool isEmpty() const { return kind == Kind::Empty; }
    // The value as text, as the filter logic reads it ("1" for the number 1).
    QString asText() const;
    bool operator==(const FilterValue&) const = default;
};

enum class ReadingMethod { Picture = 0, Text = 1, Web = 2 };

struct UserFilter {
    FilterValue name;
    FilterValue patterns;
    FilterValue method;
    bool operator==(const UserFilter&) const = default;
};

// The user-defined filters: 1000 rows used from row 0 upward; the first row
// with an empty name ends the list.
class UserFilterTable {
  public:
    static constexpr int Rows = 1000;
    static constexpr int Values = Rows * 3;

    UserFilter& row(int r) { return rows_.at(std::size_t(r)); }
    const UserFilter& row(int r) const { return rows_.at(std::size_t(r)); }
    void clear();

    // Names of the rows in use, in order: the user entries of the filter combo.
    QStringList names() const;

    // Filter-file form: 3000 values in row order, each followed by a comma,
    // on one line. A double quote inside a text cannot be stored; it is
    // written as an apostrophe so it cannot shift every value after it.
    QByteArray serialize() const;

    // Reads values in row order into the table until the data ends; rows and
    // fields beyond what the data holds keep their contents. Accepts the line
    // without its final comma, blanks around values, and an unclosed quote
    // (the value then runs to the end). Returns how many values were read.
    int deserialize(const QByteArray& bytes);

  private:
    std::array<UserFilter, Rows> rows_{};
};

} // namespace orbet
