#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QString>

#include "navigation/FileListing.h"
#include "navigation/FolderSnapshot.h"

namespace orbet {

// The file list as rows over a folder's reading: each row is the index of
// an entry of the reading, in the list's order. A folder of a million
// files costs four bytes a row beyond the reading itself, and no text is
// made for a row until it is shown.
struct FileRows {
    std::shared_ptr<const FolderSnapshot> snapshot;
    std::vector<std::uint32_t> order;
    QString pattern;
    AttributeFilter attributes;

    std::size_t size() const { return order.size(); }
    // The row's name as the disk spells it, and in its escaped form.
    const char* rawName(std::size_t row) const { return snapshot->name(snapshot->entries[order[row]]); }
    QString name(std::size_t row) const;
};

// The entries of the reading that the list shows (regular files and links
// to them passing pattern and attributes), sorted ascending ignoring case
// with ties broken by the exact text, as lessIgnoringCase orders names.
std::vector<std::uint32_t> listRows(const FolderSnapshot& snapshot, const QString& pattern,
                                    const AttributeFilter& attributes);

// Whether a name the disk spells so would be listed: the same test
// listRows applies to one entry, for a file the list has not reached yet.
bool wouldList(const FolderSnapshot& snapshot, const char* rawName, const QString& pattern,
               const AttributeFilter& attributes);

// The same for a file of the folder not read yet, from the file itself.
bool wouldList(const QString& folder, const char* rawName, const QString& pattern,
               const AttributeFilter& attributes);

// The order of two names as the disk spells them; the same answer as
// lessIgnoringCase on their escaped forms, without decoding plain ASCII.
bool rawLessIgnoringCase(const char* a, std::size_t aLength, const char* b, std::size_t bLength);

// One step that turns the old rows into the new: count rows removed at
// `row`, or count rows of the new list inserted at `row` (taken from
// `from` in the new order). Steps are to be applied in the order given,
// each row number counted after the steps before it.
struct RowStep {
    bool insert = false;
    int row = 0;
    int count = 0;
    int from = 0;
};
// The steps from one list to another of the same order; names both hold
// stay, so the rows between the changes keep their places.
std::vector<RowStep> diffRows(const FileRows& before, const FileRows& after);

} // namespace orbet
