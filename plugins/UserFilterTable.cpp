#include "plugins/UserFilterTable.h"

#include "platform/Numbers.h"

namespace orbet {

QString FilterValue::asText() const {
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return text;
    case Kind::Number:
        return QString::number(number);
    }
    return {};
}

void UserFilterTable::clear() {
    rows_.fill(UserFilter{});
}

QStringList UserFilterTable::names() const {
    QStringList out;
    for (const UserFilter& f : rows_) {
        const QString name = f.name.asText();
        if (name.isEmpty()) break;
        out.append(name);
    }
    return out;
}

namespace {

void writeValue(QByteArray& out, const FilterValue& v) {
    switch (v.kind) {
    case FilterValue::Kind::Empty:
        break;
    case FilterValue::Kind::Number:
        out += QByteArray::number(qlonglong(v.number));
        break;
    case FilterValue::Kind::Text: {
        QString safe = v.text;
        safe.replace(u'"', u'\'');
        out += '"';
        out += safe.toUtf8();
        out += '"';
        break;
    }
    }
    out += ',';
}

bool isBlankOrBreak(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool endsBare(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

FilterValue bareValue(const QByteArray& raw) {
    if (raw.isEmpty()) return {};
    const QString text = QString::fromUtf8(raw);
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok) return FilterValue::ofNumber(n);
    return FilterValue::ofText(text);
}

// Splits the data the way a sequential-file reader does: commas outside
// quotes separate values, blanks and line breaks around values are ignored,
// and the data may end with or without a final comma.
bool nextValue(const QByteArray& d, qsizetype& i, FilterValue& value) {
    while (i < d.size() && isBlankOrBreak(d[i]))
        ++i;
    if (i >= d.size()) return false;
    if (d[i] == ',') {
        value = {};
        ++i;
        return true;
    }
    if (d[i] == '"') {
        const qsizetype start = ++i;
        qsizetype end = d.indexOf('"', start);
        if (end < 0) end = d.size();
        value = FilterValue::ofText(QString::fromUtf8(d.constData() + start, end - start));
        i = end;
        if (i < d.size()) ++i;
    } else {
        const qsizetype start = i;
        while (i < d.size() && !endsBare(d[i]))
            ++i;
        value = bareValue(d.mid(start, i - start).trimmed());
    }
    // Anything between a value and its separator is dropped.
    while (i < d.size() && !endsBare(d[i]))
        ++i;
    if (i < d.size() && d[i] == ',') ++i;
    return true;
}

} // namespace

QByteArray UserFilterTable::serialize() const {
    QByteArray out;
    out.reserve(Values + 64);
    for (const UserFilter& f : rows_) {
        writeValue(out, f.name);
        writeValue(out, f.patterns);
        writeValue(out, f.method);
    }
    return out;
}

int UserFilterTable::deserialize(const QByteArray& bytes) {
    qsizetype pos = 0;
    int index = 0;
    FilterValue v;
    while (index < Values && nextValue(bytes, pos, v)) {
        UserFilter& r = rows_[std::size_t(index / 3)];
        (index % 3 == 0 ? r.name : index % 3 == 1 ? r.patterns : r.method) = v;
        ++index;
    }
    return index;
}

} // namespace orbet
