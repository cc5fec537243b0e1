#include "platform/ScriptedPrompter.h"

namespace orbet {

Answer dismissAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

// Records into the prompter by index: the list grows as later jobs start.
class ScriptedPrompter::Scripted : public Progress {
  public:
    Scripted(ScriptedPrompter& owner, int stopAt) : owner_(owner), stopAt_(stopAt) {}

    void begin(const QString& title, const QString& text, qint64 total) override {
        index_ = owner_.progresses_.size();
        owner_.progresses_.push_back({title, text, total, {}, {}, 0, -1, 0});
    }
    bool advance(qint64 done, const QString& text) override {
        ProgressRecord& r = owner_.progresses_.at(index_);
        r.steps.push_back(done);
        r.texts << text;
        if (r.stoppedAt == 0 && stopAt_ > 0 && int(r.steps.size()) >= stopAt_)
            r.stoppedAt = int(r.steps.size());
        return r.stoppedAt == 0;
    }
    void committing() override {
        ProgressRecord& r = owner_.progresses_.at(index_);
        if (r.committedAfter < 0) r.committedAfter = int(r.steps.size());
    }
    void end() override { ++owner_.progresses_.at(index_).ends; }

  private:
    ScriptedPrompter& owner_;
    int stopAt_;
    std::size_t index_ = std::size_t(-1); // a step before begin() throws in the test
};

std::unique_ptr<Progress> ScriptedPrompter::progress() {
    int stopAt = 0;
    if (!stops_.empty()) {
        stopAt = stops_.front();
        stops_.pop_front();
    }
    return std::make_unique<Scripted>(*this, stopAt);
}

void ScriptedPrompter::runLongWork(Work work, std::function<void()> finished) {
    if (!hold_) return Prompter::runLongWork(std::move(work), std::move(finished));
    held_.emplace_back(std::move(work), std::move(finished));
}

bool ScriptedPrompter::runHeldWork() {
    if (held_.empty()) return false;
    while (!held_.empty()) {
        auto [work, finished] = std::move(held_.front());
        held_.pop_front();
        Prompter::runLongWork(std::move(work), std::move(finished));
    }
    return true;
}

void ScriptedPrompter::clear() {
    answers_.clear();
    stops_.clear();
    progresses_.clear();
    replies_.clear();
    records_.clear();
    unscripted_ = 0;
}

Answer ScriptedPrompter::message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                                 std::optional<Answer> defaultAnswer) {
    records_.push_back({Kind::Message, text, title, buttons, icon, {}, defaultAnswer, {}});
    if (answers_.empty()) {
        ++unscripted_;
        return dismissAnswer(buttons);
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedPrompter::nextReply(bool& scripted) {
    scripted = !replies_.empty();
    if (!scripted) {
        ++unscripted_;
        return {};
    }
    QString r = replies_.front();
    replies_.pop_front();
    return r;
}

std::optional<QString> ScriptedPrompter::input(const QString& prompt, const QString& title,
                                               const QString& defaultText) {
    records_.push_back(
        {Kind::Input, prompt, title, Buttons::OkCancel, Icon::None, {}, std::nullopt, defaultText});
    bool scripted = false;
    QString r = nextReply(scripted);
    if (!scripted) return std::nullopt;
    return r;
}

std::optional<QString> ScriptedPrompter::password(const QString& prompt, const QString& title) {
    std::optional<QString> r = input(prompt, title, {});
    records_.back().masked = true;
    return r;
}

QString ScriptedPrompter::openFile(const FileDialogRequest& request) {
    records_.push_back({Kind::OpenFile,
                        request.filter,
                        request.title,
                        Buttons::OkCancel,
                        Icon::None,
                        request,
                        std::nullopt,
                        {}});
    bool scripted = false;
    return nextReply(scripted);
}

QString ScriptedPrompter::saveFile(const FileDialogRequest& request) {
    records_.push_back({Kind::SaveFile,
                        request.filter,
                        request.title,
                        Buttons::OkCancel,
                        Icon::None,
                        request,
                        std::nullopt,
                        {}});
    bool scripted = false;
    return nextReply(scripted);
}

QString ScriptedPrompter::chooseFolder(const QString& title, const QString& initialFolder) {
    records_.push_back(
        {Kind::Folder, initialFolder, title, Buttons::OkCancel, Icon::None, {}, std::nullopt, initialFolder});
    bool scripted = false;
    return nextReply(scripted);
}

} // namespace orbet
