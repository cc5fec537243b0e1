#pragma once

#include <optional>
#include <vector>

#include "platform/Prompter.h"

namespace orbet {

// The program's prompter during the start: a plain message (one with Ok
// alone, which asks nothing) is held while the splash stands and the main
// window is not up yet, and shown once it is, over the window the user is
// to see, in the order the messages came. Questions, inputs and dialogs
// need their answer at once and go straight through.
class HeldPrompter : public Prompter {
  public:
    explicit HeldPrompter(Prompter& shown) : shown_(shown) {}

    void hold() { holding_ = true; }
    // Shows what was held, then lets every message through.
    void release();
    bool holding() const { return holding_; }

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                   std::optional<Answer> defaultAnswer) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        return shown_.input(prompt, title, defaultText);
    }
    std::optional<QString> password(const QString& prompt, const QString& title) override {
        return shown_.password(prompt, title);
    }
    QString openFile(const FileDialogRequest& request) override { return shown_.openFile(request); }
    QString saveFile(const FileDialogRequest& request) override { return shown_.saveFile(request); }
    QString chooseFolder(const QString& title, const QString& initialFolder) override {
        return shown_.chooseFolder(title, initialFolder);
    }
    std::unique_ptr<Progress> progress() override { return shown_.progress(); }

  private:
    struct Held {
        QString text, title;
        Icon icon;
        std::optional<Answer> defaultAnswer;
    };
    Prompter& shown_;
    bool holding_ = false;
    std::vector<Held> held_;
};

} // namespace orbet
