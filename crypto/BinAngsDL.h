#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "crypto/AngFormat.h"

class QIODevice;

namespace orbet {

class Progress;
class Prompter;

// Turns a file into a password-protected ".ang" file and back. The password
// is not a key: it is stored inside the scrambled record and compared when
// restoring, and the scrambling is a shift of hexadecimal digits. It hides a
// file's content from casual eyes and nothing more.
//
// The text operations (OpenBin, Angs, PassAngs, ...) work on hexadecimal
// texts as the format is described; the commands use protectFile and
// restoreFile, which give the same bytes while streaming, so memory stays
// flat whatever the file's size, and write through a new file renamed over
// the target, so a failed or stopped write leaves the old file whole. The
// streaming runs as the prompter's long work (a worker thread under the
// window's prompter); questions and messages stay on the caller's thread.
class BinAngsDL {
  public:
    explicit BinAngsDL(Prompter& prompter);

    QString TitleName() const { return titleName_; }
    void setTitleName(const QString& text) { titleName_ = text; }
    // The error code as decimal text: 1 = the temporary folder given does not
    // exist, 2 = protection was asked for without a password. Never reset.
    QString GetErr() const { return QString::number(error_); }
    QString Directry() const { return directry_; }
    void setDirectry(const QString& text) { directry_ = text; }
    QString filename() const { return filename_; }
    void setFilename(const QString& text) { filename_ = text; }
    QString Pass() const { return pass_; }
    void setPass(const QString& text) { pass_ = text; }
    // Kept for the interface; the work never writes a temporary file.
    QString TempFilePath() const { return tempFilePath_; }
    void setTempFilePath(const QString& folder);

    // Hexadecimal text of the whole file, or nullopt (after a message) when
    // no such file exists.
    std::optional<QString> OpenBin(const QString& path);
    static QString BinToHex2(std::uint8_t byte);
    // Writes the bytes the text stands for, replacing any file of that name.
    bool SaveBin(const QString& path, const QString& hex);
    // One scrambling round: decoy digit, key digit, every digit plus the key.
    QString Angs(const QString& hex);
    // One unscrambling round, the inverse of Angs.
    static QString Hukgs(const QString& hex);
    // The protected form of a file's hexadecimal text, or an empty text when
    // Pass is empty.
    QString PassAngs(const QString& hex);
    // Restores a protected file's hexadecimal text into Directry under the
    // stored name; returns the path written, or an empty text.
    QString PassHukgs(const QString& hex);

    enum class Protected { Written, SourceMissing, NoPassword, Failed, Stopped };
    using ProtectDone = std::function<void(Protected)>;
    using RestoreDone = std::function<void(const QString& written)>;
    // Protects the file at source into target (which may be source itself),
    // with Pass and filename. The refusals are said at once; the streaming
    // and the commit run as the prompter's long work, and `done` hears how
    // it ended after any message about it.
    void protectFile(const QString& source, const QString& target, ProtectDone done);
    // Restores the protected file into Directry; `done` hears the path
    // written, or an empty text.
    // Both show their progress through the prompter and stop when the user
    // asks, writing nothing.
    void restoreFile(const QString& protectedPath, RestoreDone done);
    // The same, returning the result: for prompters that run long work
    // before returning (tests, the benchmarks).
    Protected ProtectFile(const QString& source, const QString& target);
    QString RestoreFile(const QString& protectedPath);
    // Whether the last restore ended because the user stopped it.
    bool restoreStopped() const { return restoreStopped_; }

    // Refusals said before anything is written: a name the record cannot
    // carry or the restore cannot write, a source or protected file that is
    // a pipe, socket or device (reading one would wait for ever), a restored
    // name already taken by a folder.
    static QString controlNameMessage();
    static QString notRegularMessage();
    static QString storedControlNameMessage();
    static QString notRegularProtectedMessage();
    static QString folderInTheWayMessage();

    // Seam: where keys and decoys come from.
    void setRandomSource(ang::RandomSource random) { random_ = std::move(random); }

  private:
    struct Restoring;
    // Reads the header and asks what must be asked; null when the restore
    // ends there (said already, or nothing to say).
    std::shared_ptr<Restoring> prepareRestore(std::unique_ptr<QIODevice> in, const QString& inputPath);
    static void streamRestore(Restoring& job, Progress& progress);
    QString finishRestore(const Restoring& job);
    void sayWriteFailed(const QString& path, const QString& reason);
    void sayReadFailed(const QString& path);
    void sayOddText();

    Prompter& prompter_;
    ang::RandomSource random_;
    std::int32_t error_ = 0;
    bool restoreStopped_ = false;
    QString titleName_;
    QString tempFilePath_;
    QString pass_;
    QString directry_;
    QString filename_;
};

} // namespace orbet
