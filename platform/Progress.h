#pragma once

#include <QString>
#include <QtGlobal>

namespace orbet {

// How long work tells the user what it is doing and how far it is, and
// hears that the user wants it stopped. The Prompter makes one per job, so
// tests can watch the steps and stop the work where they choose. The work
// may call it from a worker thread: implementations are thread-safe.
class Progress {
  public:
    virtual ~Progress() = default;

    // total is what `done` counts up to (files or bytes); 0 when unknown.
    virtual void begin(const QString& title, const QString& text, qint64 total) = 0;
    // False once the user asked to stop, and from then on: the work stops at
    // the next point where stopping loses nothing. An empty text keeps the
    // one shown.
    virtual bool advance(qint64 done, const QString& text = {}) = 0;
    // The work is past the point of stopping: it is committing its result
    // (a sync, a rename). The user is told so and offered no stop.
    virtual void committing() {}
    virtual void end() = 0;
};

// For prompters that show nothing: the work always goes on.
class SilentProgress : public Progress {
  public:
    void begin(const QString&, const QString&, qint64) override {}
    bool advance(qint64, const QString&) override { return true; }
    void end() override {}
};

// Ends the progress however the work leaves its scope; the work ends it
// itself (finish) before it reports, so the report is not shown under it.
class ProgressRun {
  public:
    ProgressRun(Progress& progress, const QString& title, const QString& text, qint64 total)
        : progress_(progress) {
        progress_.begin(title, text, total);
    }
    ~ProgressRun() { finish(); }
    void finish() {
        if (!ended_) progress_.end();
        ended_ = true;
    }
    ProgressRun(const ProgressRun&) = delete;
    ProgressRun& operator=(const ProgressRun&) = delete;

    // Remembers a stop, so the work can ask after the fact.
    bool advance(qint64 done, const QString& text = {}) {
        if (!stopped_ && !progress_.advance(done, text)) stopped_ = true;
        return !stopped_;
    }
    bool stopped() const { return stopped_; }
    void committing() { progress_.committing(); }

  private:
    Progress& progress_;
    bool stopped_ = false;
    bool ended_ = false;
};

} // namespace orbet
