#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include <QObject>

#include "tools/FolderWalk.h"
#include "tools/SearchEntries.h"

namespace orbet {

// Runs the search's long work on a worker thread, one job at a time: the
// walk, handing its entries over in batches, or the name sort of a finished
// walk's entries. Results arrive as signals on the thread that owns this
// object, in the walk's order.
class FolderSearch : public QObject {
    Q_OBJECT
public:
    explicit FolderSearch(QObject* parent = nullptr);
    // Cancels the job under way and waits for it.
    ~FolderSearch() override;

    // Starts a walk; a job under way is cancelled first.
    void startWalk(WalkOptions options);
    // Orders `entries` by name. They must stay unchanged until `sorted` is
    // signalled or the job is cancelled.
    void startSort(const SearchEntries& entries);
    // Stops the job under way and waits for the worker; nothing more is
    // signalled for it, and batches it had not delivered are dropped.
    void cancel();
    bool busy() const { return worker_.joinable(); }
    // How far the sort has come, 0 to 100.
    int sortPercent() const { return percent_.load(); }

signals:
    void batchReady(const orbet::SearchBatch& batch);
    void walkFinished(const orbet::WalkSummary& summary);
    void sorted(const std::shared_ptr<std::vector<std::uint32_t>>& byName);

private:
    void stopWorker();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<int> percent_{0};
    // Tells a job's late deliveries from those of the job that replaced it.
    std::uint64_t generation_ = 0;
};

// The status line's texts.
QString preparingText();
QString walkingText(const QString& folderPath, const QString& name, bool folder);
QString nextFolderText();
QString sortingText(int percent);
// "検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"; a cancelled search
// says "検索中止" instead, and skipped folders are counted after the files.
QString completionText(std::uint32_t entries, std::uint32_t folders, std::uint32_t files, std::uint32_t unreadable = 0,
                       bool cancelled = false);

}  // namespace orbet
