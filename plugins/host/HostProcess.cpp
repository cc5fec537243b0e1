#include "plugins/host/HostProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSocketNotifier>

#include "plugins/host/HostWire.h"

extern char** environ;

namespace orbet {

namespace {

// A host that died leaves a pipe whose writes raise SIGPIPE, which would end
// the whole program; the failed write is reported as EPIPE instead.
void ignoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

int remainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left < 0 ? 0 : int(left);
}

} // namespace

HostProcess::HostProcess(Launch launch) : launch_(std::move(launch)) {}

HostProcess::~HostProcess() {
    kill();
}

bool HostProcess::start() {
    if (running()) return true;
    ignoreBrokenPipes();
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    // Wine and plug-ins talk on standard error; nobody reads it.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray folder = QFile::encodeName(launch_.folder);
    if (!folder.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, folder.constData());

    const QByteArray program = QFile::encodeName(launch_.program);
    std::vector<QByteArray> argBytes{program};
    for (const QString& argument : launch_.arguments)
        argBytes.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : argBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envBytes, removed;
    for (const QString& entry : launch_.environment)
        (entry.contains(QLatin1Char('=')) ? envBytes : removed).push_back(entry.toLocal8Bit());
    const std::size_t own = envBytes.size();
    for (char** entry = environ; *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const QByteArray name(*entry, equals ? qsizetype(equals - *entry) : qsizetype(std::strlen(*entry)));
        bool overridden = std::find(removed.begin(), removed.end(), name) != removed.end();
        for (std::size_t i = 0; i < own; ++i)
            overridden = overridden || envBytes[i].startsWith(name + '=');
        if (!overridden) envBytes.emplace_back(*entry);
    }
    std::vector<char*> envp;
    for (QByteArray& entry : envBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t child = -1;
    const int spawned =
        posix_spawnp(&child, program.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (spawned != 0) {
        close(in[1]);
        close(out[0]);
        return false;
    }
    pid_ = child;
    toHost_ = in[1];
    fromHost_ = out[0];
    fcntl(toHost_, F_SETFL, O_NONBLOCK);
    fcntl(fromHost_, F_SETFL, O_NONBLOCK);
    ++starts_;
    ++run_;
    nextSequence_ = 1; // 0 is the greeting
    answeredSequence_ = 0;
    pending_.clear();
    pending_.push_back(Pending{WIRE_HELLO, false, {}});
    stash_.clear();
    inbox_.clear();
    if (onActivity_) startWatching();
    return true;
}

void HostProcess::watch(std::function<void()> onActivity) {
    onActivity_ = std::move(onActivity);
    stopWatching();
    if (onActivity_ && running()) startWatching();
}

void HostProcess::startWatching() {
    notifier_ = std::make_unique<QSocketNotifier>(fromHost_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { activity(); });
}

void HostProcess::stopWatching() {
    if (!notifier_) return;
    // It may be the notifier whose signal is running now.
    notifier_->setEnabled(false);
    notifier_.release()->deleteLater();
}

void HostProcess::activity() {
    // Read at once: a level-triggered notifier would fire again for what
    // stays unread.
    if (running() && !readAvailable()) kill();
    if (onActivity_) onActivity_();
}

HostProcess::Reply HostProcess::hello(std::chrono::milliseconds limit) {
    if (!running()) return {};
    return await({run_, 0}, limit);
}

HostProcess::Ticket HostProcess::send(std::uint32_t type, std::int32_t value, const QByteArray& payload) {
    if (!running()) return {};
    const WireHeader header = {ORBET_WIRE_MAGIC, type, std::uint32_t(payload.size()), value};
    QByteArray message(reinterpret_cast<const char*>(&header), sizeof header);
    message += payload;
    const Ticket ticket{run_, nextSequence_++};
    pending_.push_back(Pending{type, false, {}});
    // A host that does not even take its input within the limit is stuck.
    if (!writeAll(message.constData(), std::size_t(message.size()),
                  Clock::now() + std::chrono::seconds(10))) {
        kill();
        return {};
    }
    return ticket;
}

bool HostProcess::writeAll(const char* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        const ssize_t put = write(toHost_, data, size);
        if (put > 0) {
            data += put;
            size -= std::size_t(put);
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && errno != EAGAIN) return false;
        pollfd wait{toHost_, POLLOUT, 0};
        if (remainingMs(deadline) == 0) return false;
        poll(&wait, 1, std::min(remainingMs(deadline), 50));
        if (!running()) return false;
    }
    return true;
}

bool HostProcess::readAvailable() {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fromHost_, buffer, sizeof buffer);
        if (got > 0) {
            inbox_.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) return parseReplies();
        parseReplies();
        return false; // end of file or an error: the host is gone
    }
}

bool HostProcess::parseReplies() {
    while (inbox_.size() >= qsizetype(sizeof(WireHeader))) {
        WireHeader header;
        std::memcpy(&header, inbox_.constData(), sizeof header);
        if (header.magic != ORBET_WIRE_MAGIC || header.length > ORBET_WIRE_MAX_PAYLOAD || pending_.empty() ||
            header.type != pending_.front().type)
            return false;
        if (inbox_.size() < qsizetype(sizeof header + header.length)) return true;
        const bool wanted = !pending_.front().cancelled;
        pending_.pop_front();
        const quint64 sequence = answeredSequence_++;
        if (wanted) stash_[sequence] = {true, header.value, inbox_.mid(sizeof header, header.length)};
        inbox_.remove(0, qsizetype(sizeof header + header.length));
    }
    return true;
}

bool HostProcess::outstanding(Ticket ticket) const {
    return running() && ticket.run == run_ && ticket.sequence >= answeredSequence_ &&
           ticket.sequence < nextSequence_;
}

bool HostProcess::awaitable(Ticket ticket) const {
    return ticket.run == run_ && (stash_.count(ticket.sequence) > 0 || outstanding(ticket));
}

bool HostProcess::endOverdueCancel() {
    if (!running() || pending_.empty() || !pending_.front().cancelled ||
        Clock::now() - pending_.front().cancelledAt <= cancelGrace_)
        return false;
    kill();
    return true;
}

void HostProcess::waitReadable(std::chrono::milliseconds limit) const {
    if (!running()) return;
    pollfd wait{fromHost_, POLLIN, 0};
    poll(&wait, 1, int(std::max<std::chrono::milliseconds::rep>(0, limit.count())));
}

bool HostProcess::answered(Ticket ticket) {
    if (ticket.run != run_) return false;
    if (running() && !readAvailable()) kill();
    return stash_.count(ticket.sequence) > 0;
}

void HostProcess::cancel(Ticket ticket) {
    if (!outstanding(ticket)) {
        if (ticket.run == run_) stash_.erase(ticket.sequence);
        return;
    }
    Pending& entry = pending_[std::size_t(ticket.sequence - answeredSequence_)];
    if (!entry.cancelled) entry.cancelledAt = Clock::now();
    entry.cancelled = true;
}

HostProcess::Reply HostProcess::await(Ticket ticket, std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        if (ticket.run != run_) return {};
        if (auto found = stash_.find(ticket.sequence); found != stash_.end()) {
            Reply reply = std::move(found->second);
            stash_.erase(found);
            return reply;
        }
        if (!running() || ticket.sequence >= nextSequence_ || ticket.sequence < answeredSequence_) return {};
        if (endOverdueCancel()) return {};
        if (remainingMs(deadline) == 0) {
            kill();
            return {};
        }
        // Short slices: a cancel's grace may run out meanwhile.
        waitReadable(std::chrono::milliseconds(std::min(remainingMs(deadline), 100)));
        if (!readAvailable()) {
            // What arrived before the end still counts.
            Reply reply;
            if (auto found = stash_.find(ticket.sequence); found != stash_.end()) {
                reply = std::move(found->second);
                stash_.erase(found);
            }
            kill();
            return reply;
        }
    }
}

void HostProcess::reap(bool force) {
    if (pid_ <= 0) return;
    if (force) ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

void HostProcess::kill() {
    stopWatching();
    if (toHost_ >= 0) close(toHost_);
    if (fromHost_ >= 0) close(fromHost_);
    toHost_ = fromHost_ = -1;
    reap(true);
    pending_.clear();
}

void HostProcess::stop(std::chrono::milliseconds limit) {
    if (!running()) return;
    stopWatching();
    close(toHost_);
    toHost_ = -1;
    const Clock::time_point deadline = Clock::now() + limit;
    while (remainingMs(deadline) > 0) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            pid_ = -1;
            break;
        }
        usleep(2000);
    }
    kill();
}

} // namespace orbet
