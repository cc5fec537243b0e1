#include "tools/SearchOrder.h"

#include <algorithm>

namespace orbet {

namespace {

// Children of every entry, grouped by parent (a counting sort).
struct Children {
    std::vector<std::uint32_t> start; // size + 1 positions into `list`
    std::vector<std::uint32_t> list;
    Children(const SearchEntries& e) : start(std::size_t(e.size()) + 1, 0), list(e.size()) {
        for (std::uint32_t i = 0; i < e.size(); ++i)
            if (e.record(i).parent != kNoParent) ++start[e.record(i).parent + 1];
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::uint32_t i = 0; i < e.size(); ++i)
            if (e.record(i).parent != kNoParent) list[fill[e.record(i).parent]++] = i;
    }
};

bool isPlainAscii(QByteArrayView name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
    return true;
}

int compareAsciiIgnoringCase(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 32);
        if (y >= 'A' && y <= 'Z') y = char(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

std::vector<std::uint32_t> orderByName(const SearchEntries& e, const std::atomic<bool>& cancel,
                                       std::atomic<int>* percent) {
    const std::uint32_t n = e.size();
    std::vector<std::uint32_t> out;
    out.reserve(n);
    const Children kids(e);
    // One frame per folder on the way down: the folder's own entry, then its
    // children in name order.
    struct Frame {
        std::uint32_t folder = 0;
        std::vector<std::uint32_t> items;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    auto push = [&](std::uint32_t folder) {
        const std::uint32_t* first = kids.list.data() + kids.start[folder];
        const std::uint32_t count = kids.start[folder + 1] - kids.start[folder];
        std::vector<std::uint32_t> sorted(first, first + count);
        bool ascii = true;
        for (std::uint32_t k = 0; k < count && ascii; ++k)
            ascii = isPlainAscii(e.name(first[k]));
        if (ascii) {
            // The common case compares the bytes, folding ASCII letters only.
            std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
                const int c = compareAsciiIgnoringCase(e.name(a), e.name(b));
                if (c != 0) return c < 0;
                const int exact = e.name(a).compare(e.name(b));
                return exact != 0 ? exact < 0 : a < b;
            });
        } else {
            std::vector<std::pair<QString, std::uint32_t>> keyed;
            keyed.reserve(count);
            for (std::uint32_t k = 0; k < count; ++k)
                keyed.emplace_back(displayName(e.name(first[k])), first[k]);
            std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
                const int c = a.first.compare(b.first, Qt::CaseInsensitive);
                if (c != 0) return c < 0;
                const int exact = a.first.compare(b.first, Qt::CaseSensitive);
                return exact != 0 ? exact < 0 : a.second < b.second;
            });
            for (std::uint32_t k = 0; k < count; ++k)
                sorted[k] = keyed[k].second;
        }
        Frame f;
        f.folder = folder;
        f.items.reserve(count + 1);
        f.items.push_back(folder);
        f.items.insert(f.items.end(), sorted.begin(), sorted.end());
        stack.push_back(std::move(f));
    };

    for (std::uint32_t root = 0; root < n; ++root) {
        if (e.record(root).parent != kNoParent) continue;
        push(root);
        while (!stack.empty()) {
            if (cancel.load(std::memory_order_relaxed)) return {};
            Frame& top = stack.back();
            if (top.next == top.items.size()) {
                stack.pop_back();
                continue;
            }
            const std::uint32_t item = top.items[top.next++];
            // A folder with entries of its own opens a frame, in which it is placed itself.
            if (item != top.folder && kids.start[item + 1] > kids.start[item]) {
                push(item);
                continue;
            }
            out.push_back(item);
            if (percent && (out.size() & 0xFFF) == 0)
                percent->store(int(std::uint64_t(out.size()) * 100 / n));
        }
    }
    if (percent) percent->store(100);
    return out;
}

std::vector<std::uint32_t> orderFor(const SearchEntries& e, const std::vector<std::uint32_t>& byName,
                                    SearchSort sort) {
    if (sort == SearchSort::Name) return byName;
    std::vector<std::uint32_t> out;
    out.reserve(byName.size());
    const bool foldersFirst = sort == SearchSort::FoldersFirst;
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantFolders = (pass == 0) == foldersFirst;
        for (std::uint32_t i : byName)
            if (e.isFolder(i) == wantFolders) out.push_back(i);
    }
    return out;
}

qint64 findPrefix(const SearchEntries& e, const std::vector<std::uint32_t>& order, const QString& prefix) {
    const std::uint32_t n = e.size();
    if (n == 0) return -1;
    if (prefix.isEmpty()) return 0;
    // For every folder entry, how its path (with the separator) stands to
    // the prefix: kAll when the path already begins with it, kNone when it
    // cannot lead to it, else how many characters of the prefix it spells.
    constexpr qint32 kAll = -1, kNone = -2;
    std::vector<qint32> state(n, kNone);
    auto stateAfter = [&](qint32 from, std::uint32_t folder) {
        if (from == kAll || from == kNone) return from;
        const QStringView rest = QStringView(prefix).mid(from);
        const QString path = displayName(e.name(folder)) + u'/';
        if (rest.size() <= path.size())
            return QStringView(path).startsWith(rest, Qt::CaseInsensitive) ? kAll : kNone;
        return rest.startsWith(path, Qt::CaseInsensitive) ? from + qint32(path.size()) : kNone;
    };
    auto parentState = [&](std::uint32_t i) {
        const std::uint32_t p = e.record(i).parent;
        return p == kNoParent ? 0 : state[p];
    };
    // Parents come before their children, so one pass in index order settles every folder.
    for (std::uint32_t i = 0; i < n; ++i)
        if (e.isFolder(i)) state[i] = stateAfter(parentState(i), i);
    auto matches = [&](std::uint32_t i) {
        const qint32 from = parentState(i);
        if (from == kAll || from == kNone) return from == kAll;
        if (e.isFolder(i) && state[i] == kAll) return true;
        const QStringView rest = QStringView(prefix).mid(from);
        const QString tail =
            displayName(e.name(i)) + (e.isFolder(i) ? QStringLiteral("/<D>") : QStringLiteral("/<F>"));
        return rest.size() <= tail.size() && QStringView(tail).startsWith(rest, Qt::CaseInsensitive);
    };
    if (order.empty()) {
        for (std::uint32_t i = 0; i < n; ++i)
            if (matches(i)) return i;
        return -1;
    }
    for (std::size_t row = 0; row < order.size(); ++row)
        if (matches(order[row])) return qint64(row);
    return -1;
}

} // namespace orbet
