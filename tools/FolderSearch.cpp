#include "tools/FolderSearch.h"

#include "tools/SearchOrder.h"

namespace orbet {

FolderSearch::FolderSearch(QObject* parent) : QObject(parent) {}

FolderSearch::~FolderSearch() { stopWorker(); }

void FolderSearch::stopWorker() {
    ++generation_;
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
    cancel_ = false;
}

void FolderSearch::cancel() { stopWorker(); }

void FolderSearch::startWalk(WalkOptions options) {
    stopWorker();
    const std::uint64_t generation = generation_;
    worker_ = std::thread([this, generation, options = std::move(options)] {
        const auto deliver = [this, generation](SearchBatch&& batch) {
            auto shared = std::make_shared<SearchBatch>(std::move(batch));
            QMetaObject::invokeMethod(this, [this, generation, shared] {
                if (generation == generation_) emit batchReady(*shared);
            }, Qt::QueuedConnection);
        };
        const WalkSummary summary = walkFolders(options, cancel_, deliver);
        QMetaObject::invokeMethod(this, [this, generation, summary] {
            if (generation != generation_) return;
            if (worker_.joinable()) worker_.join();
            emit walkFinished(summary);
        }, Qt::QueuedConnection);
    });
}

void FolderSearch::startSort(const SearchEntries& entries) {
    stopWorker();
    percent_ = 0;
    const std::uint64_t generation = generation_;
    worker_ = std::thread([this, generation, &entries] {
        auto order = std::make_shared<std::vector<std::uint32_t>>(orderByName(entries, cancel_, &percent_));
        if (cancel_) return;
        QMetaObject::invokeMethod(this, [this, generation, order] {
            if (generation != generation_) return;
            if (worker_.joinable()) worker_.join();
            emit sorted(order);
        }, Qt::QueuedConnection);
    });
}

QString preparingText() { return QStringLiteral("Format serch program..."); }

QString walkingText(const QString& folderPath, const QString& name, bool folder) {
    return QStringLiteral("directory/") + folderPath + QStringLiteral(" 検索中... ") + QStringLiteral("Find ") + name +
           u'>' + (folder ? QStringLiteral("directory!!") : QStringLiteral("file!!"));
}

QString nextFolderText() { return QStringLiteral("Serch Next Directory......>"); }

QString sortingText(int percent) { return QStringLiteral("Serch file Sorted >") + QString::number(percent) + u'%'; }

QString completionText(std::uint32_t entries, std::uint32_t folders, std::uint32_t files, std::uint32_t unreadable,
                       bool cancelled) {
    QString text = (cancelled ? QStringLiteral("検索中止 ") : QStringLiteral("検索完了 ")) + QString::number(entries) +
                   QStringLiteral("のオブジェクト 内") + QStringLiteral("ディレクトリ") + QString::number(folders) +
                   QStringLiteral("  ファイル") + QString::number(files);
    if (unreadable > 0) text += QStringLiteral("  読めないディレクトリ") + QString::number(unreadable);
    return text;
}

}  // namespace orbet
