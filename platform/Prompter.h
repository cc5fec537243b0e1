#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "platform/Progress.h"

// Every message box, question, input prompt and file dialog of the program
// goes through one Prompter, so that tests can answer them and check their
// exact texts and titles. Texts and titles are passed through unchanged.
namespace orbet {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };
enum class Icon { None, Information, Question, Warning, Critical };

struct FileDialogRequest {
    QString title;
    // One or more entries "description|pattern[;pattern]" separated by "|",
    // the way the program builds them; the implementation turns them into
    // the toolkit's filter form.
    QString filter;
    QString initialFolder;
    QString initialName;
    bool hideReadOnly = true;
    bool confirmOverwrite = true;
};

class Prompter {
  public:
    virtual ~Prompter() = default;

    // Shows a message and blocks until answered. The default answer is the
    // one Enter chooses; a dialog closed without a choice answers Cancel or
    // No (whichever the buttons offer), or Ok for a plain message.
    virtual Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None, std::optional<Answer> defaultAnswer = std::nullopt) = 0;

    // Input prompt; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {}) = 0;
    // Input prompt whose text is masked as it is typed; nullopt when cancelled.
    // Prompters that never show anything may answer it as a plain input.
    virtual std::optional<QString> password(const QString& prompt, const QString& title) {
        return input(prompt, title);
    }

    // File dialogs return the chosen full path, or an empty text when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    virtual QString chooseFolder(const QString& title, const QString& initialFolder) = 0;

    // The progress of one long job, shown over the window the prompter
    // belongs to. Prompters that show nothing let the work run unstopped.
    virtual std::unique_ptr<Progress> progress() { return std::make_unique<SilentProgress>(); }

    // Runs one long job and then `finished`, on the caller's thread. The
    // window's prompter runs `work` on a worker thread of its own under a
    // progress dialog and returns at once; `finished` follows on the
    // window's thread once the dialog is gone, and never comes when the
    // window goes first (the work is stopped and waited for then). So `work`
    // holds its own copies of what it needs, and talks to the user only
    // through its progress. Prompters without a window run both in turn
    // before returning.
    using Work = std::function<void(Progress& progress)>;
    virtual void runLongWork(Work work, std::function<void()> finished) {
        const std::unique_ptr<Progress> shown = progress();
        work(*shown);
        if (finished) finished();
    }
};

// The answer a dialog gives when it is dismissed without a choice.
Answer dismissAnswer(Buttons buttons);

} // namespace orbet
