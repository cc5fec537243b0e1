#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <QObject>

#include "tools/FolderWalk.h"
#include "tools/SearchEntries.h"

namespace orbet {

class Mailbox;

// Runs the search's long work on a worker thread, one job at a time: the
// walk, handing its entries over in batches, or the name sort of a finished
// walk's entries. Results arrive as signals on the thread that owns this
// object, in the walk's order. The owner never waits for a worker: a folder
// read may hang (a dead network or FUSE mount), so a job that is cancelled
// or replaced is told to stop and left to end on its own, and whatever it
// still finds is dropped.
class FolderSearch : public QObject {
    Q_OBJECT
  public:
    explicit FolderSearch(QObject* parent = nullptr);
    // Cancels the job under way, without waiting for it.
    ~FolderSearch() override;

    // Starts a walk; a job under way is cancelled first.
    void startWalk(WalkOptions options);
    // Orders `entries` by name; the worker shares them, so they must not
    // change (the model replaces its store rather than clearing it).
    void startSort(std::shared_ptr<const SearchEntries> entries);
    // Stops the job under way at once: nothing more is signalled for it, and
    // batches it had not delivered are dropped. Never waits for the worker.
    void cancel();
    bool busy() const { return job_ != nullptr; }
    // How far the sort has come, 0 to 100.
    int sortPercent() const;

    // What a job shares with its worker thread.
    struct Job;
    bool isCurrent(const std::shared_ptr<Job>& job) const;

  signals:
    void batchReady(const orbet::SearchBatch& batch);
    void walkFinished(const orbet::WalkSummary& summary);
    void sorted(const std::shared_ptr<std::vector<std::uint32_t>>& byName);

  private:
    std::shared_ptr<Job> newJob();

    std::shared_ptr<Job> job_;
    // The workers post through it; it forgets this object as it goes.
    std::shared_ptr<Mailbox> mailbox_;
};

// The status line's texts.
QString preparingText();
QString walkingText(const QString& folderPath, const QString& name, bool folder);
QString nextFolderText();
QString sortingText(int percent);
// "検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"; a cancelled search
// says "検索中止" instead, and skipped folders are counted after the files.
QString completionText(std::uint32_t entries, std::uint32_t folders, std::uint32_t files,
                       std::uint32_t unreadable = 0, bool cancelled = false);

} // namespace orbet
