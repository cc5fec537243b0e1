#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Prompter.h"

namespace orbet {

// The Prompter the program runs with: message boxes, input prompts and file
// dialogs of Qt, modal over `parent`. File dialogs are Qt's own rather than
// the desktop's, so they behave the same everywhere and show only each
// filter's description, as Windows does. Qt's dialogs have no read-only
// check box, so a request's hideReadOnly has nothing to act on.
class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }

    // Without a default answer, the first button is the default, as on
    // Windows. Escape and the close box give dismissAnswer(buttons).
    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                   std::optional<Answer> defaultAnswer) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    // The work runs on a worker thread under a progress dialog (QtProgress).
    void runLongWork(Work work, std::function<void()> finished) override;

  private:
    std::optional<QString> ask(const QString& prompt, const QString& title, const QString& defaultText,
                               bool masked);

    QPointer<QWidget> parent_;
};

} // namespace orbet
