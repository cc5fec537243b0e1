#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QStringList>

#include "platform/Prompter.h"

namespace orbet {

// A Prompter for tests: records every request and answers from a script.
// Requests beyond the script get the dismiss answer (or an empty text) and
// are counted as unscripted, so a test can tell an unexpected prompt.
class ScriptedPrompter : public Prompter {
  public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };
    struct Record {
        Kind kind;
        QString text; // message text, prompt, or dialog filter
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        FileDialogRequest dialog;
        // What Enter would choose, and the text an input prompt starts with,
        // so a test can tell a wrong default from a right one.
        std::optional<Answer> defaultAnswer;
        QString defaultText;
        bool masked = false; // an input prompt that hides what is typed
    };

    // What one long job showed: its texts and every step, and whether 中止
    // was pressed (stoppedAt: the step it was pressed on, counted from 1).
    struct ProgressRecord {
        QString title;
        QString text;
        qint64 total = 0;
        std::vector<qint64> steps;
        QStringList texts; // each step's text, empty when it kept the last
        int stoppedAt = 0;
        // The steps made before the work said it was committing; -1 when it
        // never did.
        int committedAfter = -1;
        int ends = 0; // how often end() was called: once, when all is well
    };

    void answer(Answer a) { answers_.push_back(a); }
    // Long work waits (runLongWork returns at once) until runHeldWork, as
    // the window's prompter leaves its work running while the window goes
    // on; otherwise it runs before runLongWork returns.
    void holdLongWork(bool hold) { hold_ = hold; }
    // Runs the held jobs in turn; false when none was held.
    bool runHeldWork();
    // The next job's progress has 中止 pressed at its n-th step (from 1).
    void stopProgressAt(int step) { stops_.push_back(step); }
    void reply(const QString& text) { replies_.push_back(text); }

    const std::vector<Record>& records() const { return records_; }
    const std::vector<ProgressRecord>& progresses() const { return progresses_; }
    int unscripted() const { return unscripted_; }
    // Answers and replies never asked for: a test whose script outlives the
    // prompts it expected has lost a question it meant to check.
    int pending() const { return int(answers_.size() + replies_.size() + stops_.size()); }
    void clear();

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                   std::optional<Answer> defaultAnswer) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::unique_ptr<Progress> progress() override;
    void runLongWork(Work work, std::function<void()> finished) override;

  private:
    class Scripted;

    QString nextReply(bool& scripted);

    std::deque<Answer> answers_;
    std::deque<QString> replies_;
    std::vector<Record> records_;
    std::deque<int> stops_;
    std::vector<ProgressRecord> progresses_;
    std::deque<std::pair<Work, std::function<void()>>> held_;
    bool hold_ = false;
    int unscripted_ = 0;
};

} // namespace orbet
