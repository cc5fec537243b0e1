#pragma once

#include <QAbstractListModel>

#include "navigation/FileRows.h"

namespace orbet {

// The rows of the file list for a view: the readable name to show, the
// escaped name (Qt::UserRole) that reaches the file. Nothing is kept per
// row but the entry's index; texts are made when a row is drawn.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const FileRows& rows() const { return rows_; }
    QString name(int row) const;
    // Another folder, or no folder: every row is replaced.
    void reset(FileRows rows);
    // The same folder read again or filtered otherwise: only the rows that
    // differ are removed or inserted, so a view keeps its selection and
    // scroll position; nothing is signalled when no row differs. A list
    // that differs throughout is replaced as reset() does.
    void update(FileRows rows);

  private:
    static constexpr std::size_t kMostSteps = 64;
    static constexpr std::uint32_t kOld = 0x80000000u; // a row still of the reading being replaced
    const char* rawName(int row) const;

    FileRows rows_;
    // While update() steps from one reading to the next, the rows in between.
    std::vector<std::uint32_t> changing_;
    std::shared_ptr<const FolderSnapshot> old_;
    bool inUpdate_ = false;
};

} // namespace orbet
