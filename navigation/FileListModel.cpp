#include "navigation/FileListModel.h"

#include "platform/NativePath.h"

namespace orbet {

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return int(inUpdate_ ? changing_.size() : rows_.size());
}

const char* FileListModel::rawName(int row) const {
    if (!inUpdate_) return rows_.rawName(std::size_t(row));
    const std::uint32_t i = changing_[std::size_t(row)];
    const FolderSnapshot& s = (i & kOld) ? *old_ : *rows_.snapshot;
    return s.name(s.entries[i & ~kOld]);
}

QString FileListModel::name(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return fromNative(rawName(row));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return displayName(name(index.row()));
    if (role == Qt::UserRole) return name(index.row());
    return {};
}

void FileListModel::reset(FileRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void FileListModel::update(FileRows rows) {
    if (!rows_.snapshot || !rows.snapshot || rows_.snapshot->folder != rows.snapshot->folder)
        return reset(std::move(rows));
    const std::vector<RowStep> steps = diffRows(rows_, rows);
    if (steps.empty()) {
        rows_ = std::move(rows); // the same names: nothing on screen changes
        return;
    }
    // Each step moves the rows after it: a list that changed throughout
    // (another pattern) is cheaper replaced.
    if (steps.size() > kMostSteps) return reset(std::move(rows));
    // The rows in between refer to either reading; the old one is held
    // until every step is through.
    changing_.clear();
    changing_.reserve(rows_.size());
    for (std::uint32_t i : rows_.order)
        changing_.push_back(i | kOld);
    old_ = rows_.snapshot;
    rows_ = std::move(rows);
    inUpdate_ = true;
    for (const RowStep& s : steps) {
        const auto at = changing_.begin() + s.row;
        if (s.insert) {
            beginInsertRows({}, s.row, s.row + s.count - 1);
            changing_.insert(at, rows_.order.begin() + s.from, rows_.order.begin() + s.from + s.count);
            endInsertRows();
        } else {
            beginRemoveRows({}, s.row, s.row + s.count - 1);
            changing_.erase(at, at + s.count);
            endRemoveRows();
        }
    }
    inUpdate_ = false;
    changing_ = {};
    old_.reset();
}

} // namespace orbet
