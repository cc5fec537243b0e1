#include "crypto/BinAngsDL.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "crypto/AngText.h"
#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(BinAngsDL)
};
} // namespace

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

// The bytes a hexadecimal text stands for; nullopt for an odd length or a
// character that is not a digit.
std::optional<QByteArray> bytesOfHex(const QString& hex) {
    if (hex.size() % 2) return std::nullopt;
    QByteArray out(hex.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const int high = hexValue(hex[2 * i]);
        const int low = hexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        out[i] = char(high << 4 | low);
    }
    return out;
}

// A file "exists" for the questions whether or not it is hidden or
// read-only; a dangling link counts, since writing would follow it.
bool fileExists(const QString& path) {
    const PathFacts facts = pathFacts(path);
    return facts.exists || facts.isLink;
}

} // namespace

BinAngsDL::BinAngsDL(Prompter& prompter) : prompter_(prompter), random_(ang::systemRandom()) {}

void BinAngsDL::setTempFilePath(const QString& folder) {
    if (!QFileInfo(folder).isDir()) error_ = 1;
    tempFilePath_ = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

std::optional<QString> BinAngsDL::OpenBin(const QString& path) {
    if (!fileExists(path)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + path, titleName_, Buttons::Ok);
        return std::nullopt;
    }
    QFile file;
    if (!openNative(file, path)) {
        sayReadFailed(path);
        return std::nullopt;
    }
    return QString::fromLatin1(file.readAll().toHex().toUpper());
}

QString BinAngsDL::BinToHex2(std::uint8_t byte) {
    const char pair[2] = {kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    return QString::fromLatin1(pair, 2);
}

bool BinAngsDL::SaveBin(const QString& path, const QString& hex) {
    const std::optional<QByteArray> bytes = bytesOfHex(hex);
    if (!bytes) {
        sayOddText();
        return false;
    }
    QString reason;
    if (!writeFileAtomically(path, *bytes, &reason)) {
        sayWriteFailed(path, reason);
        return false;
    }
    return true;
}

QString BinAngsDL::Angs(const QString& hex) {
    const int key = random_(1, 14);
    QString out(hex.size() + 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < hex.size(); ++i)
        out[i + 2] = QLatin1Char(kHexDigits[(std::max(hexValue(hex[i]), 0) + key) & 15]);
    const int decoy = random_(1, 15);
    out[0] = QLatin1Char(kHexDigits[decoy]);
    out[1] = QLatin1Char(kHexDigits[key]);
    return out;
}

QString BinAngsDL::Hukgs(const QString& hex) {
    if (hex.size() < 2) return {};
    const int key = std::max(hexValue(hex[1]), 0);
    QString out(hex.size() - 2, Qt::Uninitialized);
    for (qsizetype i = 2; i < hex.size(); ++i)
        out[i - 2] = QLatin1Char(kHexDigits[(std::max(hexValue(hex[i]), 0) - key + 16) & 15]);
    return out;
}

QString BinAngsDL::PassAngs(const QString& hex) {
    if (pass_.isEmpty()) {
        error_ = 2;
        return {};
    }
    const QByteArray record =
        ang::encodeText(pass_) + "\r\n" + ang::encodeText(filename_) + "\r\n" + hex.toLatin1() + "\r\n";
    QString text = QString::fromLatin1(record.toHex().toUpper());
    for (int round = 0; round < 3; ++round)
        text = Angs(text);
    return text;
}

QString BinAngsDL::PassHukgs(const QString& hex) {
    std::optional<QByteArray> bytes = bytesOfHex(hex);
    if (!bytes) return {};
    auto in = std::make_unique<QBuffer>();
    in->setData(*bytes);
    in->open(QIODevice::ReadOnly);
    // Already in memory: restored at once, without a progress.
    const std::shared_ptr<Restoring> job = prepareRestore(std::move(in), QString());
    if (!job) return {};
    SilentProgress silent;
    streamRestore(*job, silent);
    return finishRestore(*job);
}

namespace {

// How a protection's worker ended, read on the caller's thread afterwards.
struct Protecting {
    QFile in;
    std::unique_ptr<AtomicWriter> out;
    QByteArray password;
    QByteArray name;
    ang::Rounds rounds;
    QString title;
    QString text;
    bool streamed = false;
    bool stopped = false;
    bool committed = false;
};

// On the worker: the source streamed into the new file, then committed. The
// progress goes by the source's bytes read; a stop abandons the new file,
// so the target stays as it was.
void streamProtect(Protecting& job, Progress& progress) {
    ProgressRun run(progress, job.title, job.text, job.in.size());
    job.streamed =
        ang::writeProtected(job.in, job.password, job.name, job.rounds, [&](const char* data, qint64 size) {
            return job.out->write(data, size) && run.advance(job.in.pos());
        });
    if (run.stopped()) {
        job.stopped = true;
        job.out->discard();
        return;
    }
    if (!job.streamed) {
        job.out->discard();
        return;
    }
    run.committing();
    job.committed = job.out->commit();
}

} // namespace

struct BinAngsDL::Restoring {
    std::unique_ptr<QIODevice> in;
    std::optional<ang::Reader> reader;
    QString inputPath;
    QString path;
    std::unique_ptr<AtomicWriter> out;
    QString title;
    QString text;
    ang::Reader::Status status = ang::Reader::Status::Ok;
    bool stopped = false;
    bool committed = false;
};

void BinAngsDL::protectFile(const QString& source, const QString& target, ProtectDone done) {
    const auto report = [&done](Protected result) {
        if (done) done(result);
    };
    if (!fileExists(source)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + source, titleName_, Buttons::Ok);
        return report(Protected::SourceMissing);
    }
    if (!pathFacts(source).isRegular) {
        prompter_.message(notRegularMessage() + QStringLiteral("\r\n") + source, titleName_, Buttons::Ok);
        return report(Protected::Failed);
    }
    if (ang::hasControlCharacters(filename_)) {
        prompter_.message(controlNameMessage() + QStringLiteral("\r\n") + filename_, titleName_, Buttons::Ok);
        return report(Protected::Failed);
    }
    if (pass_.isEmpty()) {
        error_ = 2;
        return report(Protected::NoPassword);
    }
    auto job = std::make_shared<Protecting>();
    if (!openNative(job->in, source)) {
        sayReadFailed(source);
        return report(Protected::Failed);
    }
    job->out = std::make_unique<AtomicWriter>(target);
    if (!job->out->open()) {
        sayWriteFailed(target, job->out->errorString());
        return report(Protected::Failed);
    }
    job->password = ang::encodeText(pass_);
    job->name = ang::encodeText(filename_);
    job->rounds = ang::drawRounds(random_);
    job->title = titleName_;
    job->text = QCoreApplication::translate("BinAngsDL", "%1を暗号化しています").arg(filename_);
    prompter_.runLongWork([job](Progress& progress) { streamProtect(*job, progress); },
                          [this, job, source, target, done] {
                              Protected result = Protected::Written;
                              if (job->stopped) {
                                  result = Protected::Stopped;
                              } else if (!job->streamed && job->out->errorNumber() == 0) {
                                  sayReadFailed(source);
                                  result = Protected::Failed;
                              } else if (!job->committed) {
                                  sayWriteFailed(target, job->out->errorString());
                                  result = Protected::Failed;
                              }
                              if (done) done(result);
                          });
}

BinAngsDL::Protected BinAngsDL::ProtectFile(const QString& source, const QString& target) {
    Protected result = Protected::Failed;
    protectFile(source, target, [&result](Protected r) { result = r; });
    return result;
}

void BinAngsDL::restoreFile(const QString& protectedPath, RestoreDone done) {
    const auto report = [&done](const QString& written) {
        if (done) done(written);
    };
    restoreStopped_ = false;
    if (!fileExists(protectedPath)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + protectedPath, titleName_, Buttons::Ok);
        return report({});
    }
    if (!pathFacts(protectedPath).isRegular) {
        prompter_.message(notRegularProtectedMessage() + QStringLiteral("\r\n") + protectedPath, titleName_,
                          Buttons::Ok);
        return report({});
    }
    auto in = std::make_unique<QFile>();
    if (!openNative(*in, protectedPath)) {
        sayReadFailed(protectedPath);
        return report({});
    }
    const std::shared_ptr<Restoring> job = prepareRestore(std::move(in), protectedPath);
    if (!job) return report({});
    prompter_.runLongWork([job](Progress& progress) { streamRestore(*job, progress); },
                          [this, job, done] {
                              restoreStopped_ = job->stopped;
                              const QString written = finishRestore(*job);
                              if (done) done(written);
                          });
}

QString BinAngsDL::RestoreFile(const QString& protectedPath) {
    QString written;
    restoreFile(protectedPath, [&written](const QString& w) { written = w; });
    return written;
}

std::shared_ptr<BinAngsDL::Restoring> BinAngsDL::prepareRestore(std::unique_ptr<QIODevice> in,
                                                                const QString& inputPath) {
    if (!directry_.endsWith(QLatin1Char('/'))) directry_ += QLatin1Char('/');
    auto job = std::make_shared<Restoring>();
    job->in = std::move(in);
    job->inputPath = inputPath;
    ang::Reader& reader = job->reader.emplace(*job->in);
    if (!reader.readHeader()) return nullptr;
    if (!ang::sameText(reader.password(), pass_)) {
        prompter_.message(Texts::tr("パスワードが違います"), titleName_, Buttons::Ok);
        return nullptr;
    }
    // The name comes from the file, so it must not lead out of the folder.
    const QString name = ang::decodeText(reader.name());
    if (ang::hasControlCharacters(name)) {
        prompter_.message(storedControlNameMessage(), titleName_, Buttons::Ok);
        return nullptr;
    }
    if (!ang::isSafeName(name)) return nullptr;
    job->path = directry_ + name;
    // Writing follows a link, which could lead anywhere.
    const PathFacts there = pathFacts(job->path);
    if (there.isLink) return nullptr;
    if (there.isDir) {
        prompter_.message(folderInTheWayMessage() + QStringLiteral("\r\n") + job->path, titleName_,
                          Buttons::Ok);
        return nullptr;
    }
    if (fileExists(job->path)) {
        const Answer a =
            prompter_.message(Texts::tr("同じファイル名が存在します、上書きしますか？"),
                              QStringLiteral("KTXAngsDLL-") + job->path, Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) return nullptr;
    }
    job->out = std::make_unique<AtomicWriter>(job->path);
    if (!job->out->open()) {
        sayWriteFailed(job->path, job->out->errorString());
        return nullptr;
    }
    job->title = titleName_;
    job->text = QCoreApplication::translate("BinAngsDL", "%1を復号しています").arg(name);
    return job;
}

void BinAngsDL::streamRestore(Restoring& job, Progress& progress) {
    ProgressRun run(progress, job.title, job.text, job.in->size());
    job.status = job.reader->readContent([&](const char* data, qint64 size) {
        return job.out->write(data, size) && run.advance(job.in->pos());
    });
    if (run.stopped()) {
        job.stopped = true;
        job.out->discard();
        return;
    }
    if (job.status != ang::Reader::Status::Ok) {
        job.out->discard();
        return;
    }
    run.committing();
    job.committed = job.out->commit();
}

QString BinAngsDL::finishRestore(const Restoring& job) {
    if (job.stopped) return {};
    switch (job.status) {
    case ang::Reader::Status::Ok:
        if (job.committed) return job.path;
        sayWriteFailed(job.path, job.out->errorString());
        return {};
    case ang::Reader::Status::OddDigits:
        sayOddText();
        return {};
    case ang::Reader::Status::SinkFailed:
        sayWriteFailed(job.path, job.out->errorString());
        return {};
    case ang::Reader::Status::ReadFailed:
        sayReadFailed(job.inputPath);
        return {};
    case ang::Reader::Status::NotProtected:
        return {};
    }
    return {};
}

QString BinAngsDL::controlNameMessage() {
    return Texts::tr("ファイル名に改行などの制御文字が含まれているため、暗号化できません");
}

QString BinAngsDL::notRegularMessage() {
    return Texts::tr("通常のファイルではないため、暗号化できません");
}

QString BinAngsDL::storedControlNameMessage() {
    return Texts::tr("保存されているファイル名に制御文字が含まれているため、復号できません");
}

QString BinAngsDL::notRegularProtectedMessage() {
    return Texts::tr("通常のファイルではないため、復号できません");
}

QString BinAngsDL::folderInTheWayMessage() {
    return Texts::tr("同じ名前のフォルダが存在するため、復号したファイルを出力できません");
}

void BinAngsDL::sayWriteFailed(const QString& path, const QString& reason) {
    prompter_.message(Texts::tr("ファイルを書き込めませんでした\r\n") + path +
                          (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason),
                      titleName_, Buttons::Ok, Icon::Critical);
}

void BinAngsDL::sayReadFailed(const QString& path) {
    prompter_.message(Texts::tr("ファイルを読み込めませんでした") +
                          (path.isEmpty() ? QString() : QStringLiteral("\r\n") + path),
                      titleName_, Buttons::Ok, Icon::Critical);
}

void BinAngsDL::sayOddText() {
    prompter_.message(Texts::tr("KTXﾊﾞｲﾅﾘｻｰﾊﾞｰ ｴﾗｰ"), titleName_ + Texts::tr("-ｴﾗｰ"), Buttons::Ok);
}

} // namespace orbet
