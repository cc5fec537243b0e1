#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include <QString>

#include "tools/SearchEntries.h"

namespace orbet {

enum class SearchSort {
    Name,         // "名前": by the entries' whole text
    FoldersFirst, // "Ｄ＞Ｆ"
    FilesFirst,   // "Ｆ＞Ｄ"
};

// The entries ordered by their text ignoring case, in the system's text
// order, where the separator and the marker sort before any character of a
// name (as punctuation sorts before letters and digits on Windows): so a
// folder comes before its contents, and "a" with its contents before "a.b".
// That is each folder's entry followed by its children sorted by name, every
// child folder followed by its own contents, which needs no full path.
// Siblings whose names differ only in case (which Windows cannot have) keep
// their contents apart, ordered by exact name. `percent` follows the
// progress; the result is empty when `cancel` was raised.
std::vector<std::uint32_t> orderByName(const SearchEntries& entries, const std::atomic<bool>& cancel,
                                       std::atomic<int>* percent = nullptr);

// The display order for `sort` from the name order: "名前" keeps it, the
// two others put one group before the other, each group in name order.
std::vector<std::uint32_t> orderFor(const SearchEntries& entries, const std::vector<std::uint32_t>& byName,
                                    SearchSort sort);

// The first position of `order` whose entry's text begins with `prefix`,
// ignoring case, as a list box's prefix search finds it; -1 when none does.
// An empty `order` stands for the entries in their own order. Works folder by
// folder, so only entries on the way to the prefix have their names read.
qint64 findPrefix(const SearchEntries& entries, const std::vector<std::uint32_t>& order,
                  const QString& prefix);

} // namespace orbet
