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

BinAngsDL::BinAngsDL(Prompter& prompter)
    : prompter_(prompter), random_(ang::systemRandom()), pump_([] {
          if (QCoreApplication::instance())
              QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      }) {}

void BinAngsDL::setTempFilePath(const QString& folder) {
    if (!QFileInfo(folder).isDir()) error_ = 1;
    tempFilePath_ = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

std::optional<QString> BinAngsDL::OpenBin(const QString& path) {
    if (!fileExists(path)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + path, titleName_, Buttons::Ok);
        return std::nullopt;
    }
    if (pump_) pump_();
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
    QBuffer in(&*bytes);
    in.open(QIODevice::ReadOnly);
    return restore(in, QString());
}

BinAngsDL::Protected BinAngsDL::ProtectFile(const QString& source, const QString& target) {
    if (!fileExists(source)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + source, titleName_, Buttons::Ok);
        return Protected::SourceMissing;
    }
    if (!pathFacts(source).isRegular) {
        prompter_.message(notRegularMessage() + QStringLiteral("\r\n") + source, titleName_, Buttons::Ok);
        return Protected::Failed;
    }
    if (ang::hasControlCharacters(filename_)) {
        prompter_.message(controlNameMessage() + QStringLiteral("\r\n") + filename_, titleName_, Buttons::Ok);
        return Protected::Failed;
    }
    if (pump_) pump_();
    if (pass_.isEmpty()) {
        error_ = 2;
        return Protected::NoPassword;
    }
    QFile in;
    if (!openNative(in, source)) {
        sayReadFailed(source);
        return Protected::Failed;
    }
    AtomicWriter out(target);
    if (!out.open()) {
        sayWriteFailed(target, out.errorString());
        return Protected::Failed;
    }
    const ang::Rounds rounds = ang::drawRounds(random_);
    const std::unique_ptr<Progress> progress = prompter_.progress();
    ProgressRun run(*progress, titleName_,
                    QCoreApplication::translate("BinAngsDL", "%1を暗号化しています").arg(filename_),
                    in.size());
    // The progress goes by the source's bytes read; a stop abandons the new
    // file, so the target stays as it was.
    const bool streamed = ang::writeProtected(
        in, ang::encodeText(pass_), ang::encodeText(filename_), rounds,
        [&](const char* data, qint64 size) { return out.write(data, size) && run.advance(in.pos()); }, pump_);
    run.finish();
    if (run.stopped()) {
        out.discard();
        return Protected::Stopped;
    }
    if (!streamed && out.errorNumber() == 0) {
        out.discard();
        sayReadFailed(source);
        return Protected::Failed;
    }
    if (!streamed || !out.commit()) {
        sayWriteFailed(target, out.errorString());
        return Protected::Failed;
    }
    return Protected::Written;
}

QString BinAngsDL::RestoreFile(const QString& protectedPath) {
    if (!fileExists(protectedPath)) {
        prompter_.message(Texts::tr("ファイルが見つかりません\r\n") + protectedPath, titleName_, Buttons::Ok);
        return {};
    }
    if (!pathFacts(protectedPath).isRegular) {
        prompter_.message(notRegularProtectedMessage() + QStringLiteral("\r\n") + protectedPath, titleName_,
                          Buttons::Ok);
        return {};
    }
    restoreStopped_ = false;
    if (pump_) pump_();
    QFile in;
    if (!openNative(in, protectedPath)) {
        sayReadFailed(protectedPath);
        return {};
    }
    return restore(in, protectedPath);
}

QString BinAngsDL::restore(QIODevice& in, const QString& inputPath) {
    if (!directry_.endsWith(QLatin1Char('/'))) directry_ += QLatin1Char('/');
    ang::Reader reader(in);
    if (!reader.readHeader()) return {};
    if (!ang::sameText(reader.password(), pass_)) {
        prompter_.message(Texts::tr("パスワードが違います"), titleName_, Buttons::Ok);
        return {};
    }
    // The name comes from the file, so it must not lead out of the folder.
    const QString name = ang::decodeText(reader.name());
    if (ang::hasControlCharacters(name)) {
        prompter_.message(storedControlNameMessage(), titleName_, Buttons::Ok);
        return {};
    }
    if (!ang::isSafeName(name)) return {};
    const QString path = directry_ + name;
    // Writing follows a link, which could lead anywhere.
    const PathFacts there = pathFacts(path);
    if (there.isLink) return {};
    if (there.isDir) {
        prompter_.message(folderInTheWayMessage() + QStringLiteral("\r\n") + path, titleName_, Buttons::Ok);
        return {};
    }
    if (fileExists(path)) {
        const Answer a =
            prompter_.message(Texts::tr("同じファイル名が存在します、上書きしますか？"),
                              QStringLiteral("KTXAngsDLL-") + path, Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) return {};
    }
    AtomicWriter out(path);
    if (!out.open()) {
        sayWriteFailed(path, out.errorString());
        return {};
    }
    const std::unique_ptr<Progress> progress = prompter_.progress();
    ProgressRun run(*progress, titleName_,
                    QCoreApplication::translate("BinAngsDL", "%1を復号しています").arg(name), in.size());
    const auto status = reader.readContent(
        [&](const char* data, qint64 size) { return out.write(data, size) && run.advance(in.pos()); }, pump_);
    run.finish();
    if (run.stopped()) {
        out.discard();
        restoreStopped_ = true;
        return {};
    }
    switch (status) {
    case ang::Reader::Status::Ok:
        if (out.commit()) return path;
        sayWriteFailed(path, out.errorString());
        return {};
    case ang::Reader::Status::OddDigits:
        sayOddText();
        return {};
    case ang::Reader::Status::SinkFailed:
        sayWriteFailed(path, out.errorString());
        return {};
    case ang::Reader::Status::ReadFailed:
        sayReadFailed(inputPath);
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
