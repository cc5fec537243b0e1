#include "navigation/FileRows.h"

#include <algorithm>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include <QHash>

#include "navigation/FolderProbe.h"
#include "platform/NativePath.h"

namespace orbet {

namespace {

bool isAscii(const char* s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Plain ASCII compares as the toolkit's case folding does: letters folded,
// the shorter first on a common beginning, then the exact bytes.
int compareAsciiIgnoringCase(const char* a, std::size_t an, const char* b, std::size_t bn) {
    const std::size_t n = std::min(an, bn);
    for (std::size_t i = 0; i < n; ++i) {
        const char x = lower(a[i]), y = lower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    if (an != bn) return an < bn ? -1 : 1;
    return 0;
}

// Only regular files (and links to them): reading a pipe, socket or device
// as a file would block the window or never end.
bool passes(const FolderSnapshot::Entry& e, const char* raw, const FilePattern& matcher,
            const QByteArray& prefix, const AttributeFilter& attributes) {
    if (e.kind != FolderSnapshot::Kind::File) return false;
    if (raw[0] == '.' && !attributes.hidden) return false;
    if (!matcher.matches(raw, e.length)) return false;
    return attributes.readOnly || ::access((prefix + raw).constData(), W_OK) == 0;
}

} // namespace

QString FileRows::name(std::size_t row) const {
    return fromNative(rawName(row));
}

bool rawLessIgnoringCase(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    if (isAscii(a, aLength) && isAscii(b, bLength)) {
        const int c = compareAsciiIgnoringCase(a, aLength, b, bLength);
        if (c != 0) return c < 0;
        return std::strcmp(a, b) < 0;
    }
    return lessIgnoringCase(fromNative(QByteArray(a, qsizetype(aLength))),
                            fromNative(QByteArray(b, qsizetype(bLength))));
}

bool wouldList(const FolderSnapshot& snapshot, const char* raw, const QString& pattern,
               const AttributeFilter& attributes) {
    for (const FolderSnapshot::Entry& e : snapshot.entries) {
        if (std::strcmp(snapshot.name(e), raw) != 0) continue;
        const QByteArray native = toNative(snapshot.folder);
        return passes(e, raw, FilePattern(pattern), native.endsWith('/') ? native : native + '/', attributes);
    }
    return false;
}

bool wouldList(const QString& folder, const char* raw, const QString& pattern,
               const AttributeFilter& attributes) {
    const QByteArray native = toNative(folder);
    const QByteArray prefix = native.endsWith('/') ? native : native + '/';
    struct stat st {};
    if (::stat((prefix + raw).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const FolderSnapshot::Entry e{0, std::uint32_t(std::strlen(raw)), FolderSnapshot::Kind::File};
    return passes(e, raw, FilePattern(pattern), prefix, attributes);
}

std::vector<std::uint32_t> listRows(const FolderSnapshot& snapshot, const QString& pattern,
                                    const AttributeFilter& attributes) {
    const FilePattern matcher(pattern);
    const QByteArray native = toNative(snapshot.folder);
    const QByteArray prefix = native.endsWith('/') ? native : native + '/';
    std::vector<std::uint32_t> rows;
    std::vector<char> ascii; // per entry, so the sort decodes only what needs it
    ascii.resize(snapshot.entries.size());
    for (std::uint32_t i = 0; i < snapshot.entries.size(); ++i) {
        const FolderSnapshot::Entry& e = snapshot.entries[i];
        const char* raw = snapshot.name(e);
        if (!passes(e, raw, matcher, prefix, attributes)) continue;
        rows.push_back(i);
        ascii[i] = isAscii(raw, e.length) ? 1 : 0;
    }
    // Names with other characters are decoded once, not at every comparison.
    QHash<std::uint32_t, QString> decoded;
    for (std::uint32_t i : rows)
        if (!ascii[i]) decoded.insert(i, fromNative(snapshot.name(snapshot.entries[i])));
    std::sort(rows.begin(), rows.end(), [&](std::uint32_t x, std::uint32_t y) {
        const FolderSnapshot::Entry& a = snapshot.entries[x];
        const FolderSnapshot::Entry& b = snapshot.entries[y];
        if (ascii[x] && ascii[y]) {
            const int c = compareAsciiIgnoringCase(snapshot.name(a), a.length, snapshot.name(b), b.length);
            return c != 0 ? c < 0 : std::strcmp(snapshot.name(a), snapshot.name(b)) < 0;
        }
        const QString sa =
            ascii[x] ? QString::fromLatin1(snapshot.name(a), qsizetype(a.length)) : decoded.value(x);
        const QString sb =
            ascii[y] ? QString::fromLatin1(snapshot.name(b), qsizetype(b.length)) : decoded.value(y);
        return lessIgnoringCase(sa, sb);
    });
    return rows;
}

std::vector<RowStep> diffRows(const FileRows& before, const FileRows& after) {
    std::vector<RowStep> steps;
    std::size_t i = 0, j = 0;
    int row = 0; // the row the next step acts on, in the list as changed so far
    auto add = [&](bool insert, int from) {
        if (!steps.empty() && steps.back().insert == insert &&
            steps.back().row + (insert ? steps.back().count : 0) == row &&
            (!insert || steps.back().from + steps.back().count == from)) {
            ++steps.back().count;
        } else {
            steps.push_back({insert, row, 1, from});
        }
    };
    while (i < before.size() || j < after.size()) {
        int c = 0;
        if (i == before.size()) {
            c = 1;
        } else if (j == after.size()) {
            c = -1;
        } else {
            const char* a = before.rawName(i);
            const char* b = after.rawName(j);
            if (std::strcmp(a, b) != 0)
                c = rawLessIgnoringCase(a, std::strlen(a), b, std::strlen(b)) ? -1 : 1;
        }
        if (c == 0) {
            ++i, ++j, ++row;
        } else if (c < 0) {
            add(false, 0); // gone: the rows after it move up, so row stays
            ++i;
        } else {
            add(true, int(j));
            ++j, ++row;
        }
    }
    return steps;
}

} // namespace orbet
