#include "tools/SearchModel.h"

namespace orbet {

SearchModel::SearchModel(QObject* parent)
    : QAbstractListModel(parent), entries_(std::make_shared<SearchEntries>()) {}

int SearchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(std::min<std::uint32_t>(entries_->size(), 0x7FFFFFFF));
}

QVariant SearchModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return text(index.row());
}

void SearchModel::clear() {
    beginResetModel();
    entries_ = std::make_shared<SearchEntries>();
    std::vector<std::uint32_t>().swap(byName_);
    std::vector<std::uint32_t>().swap(order_);
    endResetModel();
}

void SearchModel::append(const SearchBatch& batch) {
    if (batch.records.empty()) return;
    const std::uint32_t before = entries_->size();
    // Rows follow the walk while it runs; a batch arriving after an order
    // was set would not fit it, so the order is given up. A batch the store
    // may take only in part cannot be announced row by row either.
    if (!order_.empty() || !entries_->takesWhole(batch)) {
        beginResetModel();
        order_.clear();
        byName_.clear();
        entries_->append(batch);
        endResetModel();
        return;
    }
    beginInsertRows({}, int(before), int(before + batch.records.size() - 1));
    entries_->append(batch);
    endInsertRows();
}

void SearchModel::setNameOrder(std::vector<std::uint32_t> byName, SearchSort sort) {
    if (byName.size() != entries_->size()) return;
    byName_ = std::move(byName);
    byName_.shrink_to_fit();
    showSorted(sort);
}

void SearchModel::showSorted(SearchSort sort) {
    if (byName_.empty()) return;
    beginResetModel();
    order_ = orderFor(*entries_, byName_, sort);
    endResetModel();
}

int SearchModel::find(const QString& prefix) const {
    return int(findPrefix(*entries_, order_, prefix));
}

std::size_t SearchModel::bytesUsed() const {
    return entries_->bytesUsed() + (byName_.capacity() + order_.capacity()) * sizeof(std::uint32_t);
}

} // namespace orbet
