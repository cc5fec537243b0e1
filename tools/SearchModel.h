#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QAbstractListModel>

#include "tools/SearchEntries.h"
#include "tools/SearchOrder.h"

namespace orbet {

// The result list of the folder search as a list model: one row per entry,
// its line as the display text. While a walk runs the rows are in the walk's
// order; once a name order is known they follow the chosen sort.
class SearchModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit SearchModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void clear();
    void append(const SearchBatch& batch);
    // The name order of the current entries, as the sort found it; the rows
    // then follow `sort`.
    void setNameOrder(std::vector<std::uint32_t> byName, SearchSort sort);
    bool hasNameOrder() const { return !byName_.empty() || entries_->size() == 0; }
    // Re-orders the rows from the known name order, without a new sort.
    void showSorted(SearchSort sort);

    const SearchEntries& entries() const { return *entries_; }
    // The entries for a worker to read: clear() leaves them to it and starts
    // a new store, so they never change under it.
    std::shared_ptr<const SearchEntries> sharedEntries() const { return entries_; }
    std::uint32_t entryAt(int row) const {
        return order_.empty() ? std::uint32_t(row) : order_[std::size_t(row)];
    }
    QString text(int row) const { return entries_->text(entryAt(row)); }
    QString path(int row) const { return entries_->path(entryAt(row)); }
    QByteArray nativePath(int row) const { return entries_->nativePath(entryAt(row)); }
    bool isFolder(int row) const { return entries_->isFolder(entryAt(row)); }
    // The row of the first entry whose text begins with `prefix` (ignoring
    // case), or -1.
    int find(const QString& prefix) const;

    std::size_t bytesUsed() const;

  private:
    std::shared_ptr<SearchEntries> entries_;
    std::vector<std::uint32_t> byName_;
    std::vector<std::uint32_t> order_; // empty: the walk's order
};

} // namespace orbet
