#include "tools/FolderSearch.h"

#include <QCoreApplication>

#include <thread>

#include "platform/Mailbox.h"
#include "tools/SearchOrder.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FolderSearch)
};
} // namespace

struct FolderSearch::Job {
    std::atomic<bool> cancel{false};
    std::atomic<int> percent{0};
};

namespace {

// Delivers on the owner's thread only while `job` is still the owner's job.
template <typename F>
void postFor(Mailbox& mailbox, FolderSearch* owner, const std::shared_ptr<FolderSearch::Job>& job,
             F deliver) {
    if (job->cancel.load()) return;
    mailbox.post([owner, job, deliver = std::move(deliver)] {
        if (owner->isCurrent(job)) deliver();
    });
}

} // namespace

FolderSearch::FolderSearch(QObject* parent) : QObject(parent), mailbox_(Mailbox::to(this)) {}

FolderSearch::~FolderSearch() {
    cancel();
    mailbox_->close();
}

void FolderSearch::cancel() {
    if (job_) job_->cancel = true;
    job_.reset();
}

bool FolderSearch::isCurrent(const std::shared_ptr<Job>& job) const {
    return job && job_ == job;
}

int FolderSearch::sortPercent() const {
    return job_ ? job_->percent.load() : 100;
}

std::shared_ptr<FolderSearch::Job> FolderSearch::newJob() {
    cancel();
    job_ = std::make_shared<Job>();
    return job_;
}

void FolderSearch::startWalk(WalkOptions options) {
    std::thread([this, job = newJob(), mailbox = mailbox_, options = std::move(options)] {
        const auto deliver = [&](SearchBatch&& batch) {
            postFor(*mailbox, this, job, [this, batch = std::move(batch)] { emit batchReady(batch); });
        };
        const WalkSummary summary = walkFolders(options, job->cancel, deliver);
        postFor(*mailbox, this, job, [this, summary] {
            job_.reset();
            emit walkFinished(summary);
        });
    }).detach();
}

void FolderSearch::startSort(std::shared_ptr<const SearchEntries> entries) {
    std::thread([this, job = newJob(), mailbox = mailbox_, entries = std::move(entries)] {
        auto order =
            std::make_shared<std::vector<std::uint32_t>>(orderByName(*entries, job->cancel, &job->percent));
        postFor(*mailbox, this, job, [this, order] {
            job_.reset();
            emit sorted(order);
        });
    }).detach();
}

QString preparingText() {
    return QStringLiteral("Format serch program...");
}

QString walkingText(const QString& folderPath, const QString& name, bool folder) {
    return QStringLiteral("directory/") + folderPath + Texts::tr(" 検索中... ") + QStringLiteral("Find ") +
           name + u'>' + (folder ? QStringLiteral("directory!!") : QStringLiteral("file!!"));
}

QString nextFolderText() {
    return QStringLiteral("Serch Next Directory......>");
}

QString sortingText(int percent) {
    return QStringLiteral("Serch file Sorted >") + QString::number(percent) + u'%';
}

QString completionText(std::uint32_t entries, std::uint32_t folders, std::uint32_t files,
                       std::uint32_t unreadable, bool cancelled) {
    const QString counts[] = {QString::number(entries), QString::number(folders), QString::number(files)};
    QString text = cancelled ? Texts::tr("検索中止 %1のオブジェクト 内ディレクトリ%2  ファイル%3")
                                   .arg(counts[0], counts[1], counts[2])
                             : Texts::tr("検索完了 %1のオブジェクト 内ディレクトリ%2  ファイル%3")
                                   .arg(counts[0], counts[1], counts[2]);
    if (unreadable > 0) text += Texts::tr("  読めないディレクトリ%1").arg(unreadable);
    return text;
}

} // namespace orbet
