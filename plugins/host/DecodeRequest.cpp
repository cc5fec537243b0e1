#include "plugins/host/DecodeRequest.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>

#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "plugins/host/DibImage.h"
#include "plugins/host/HostWire.h"

namespace orbet {

namespace {

// The whole file goes to the plug-in: none larger than any picture worth
// decoding is given.
constexpr qint64 kLargestInput = 512LL * 1024 * 1024;
// An exchange file far larger than most pictures does not keep its memory
// once read.
constexpr std::uint64_t kLargestKeptExchange = 64ULL * 1024 * 1024;
// No bitmap a host describes is taken beyond this.
constexpr std::uint64_t kLargestBitmap = 4ULL * 1024 * 1024 * 1024;

// A name under which another process opens exactly the regular file behind
// `fd`, whatever has happened to its own name since; empty when the system
// offers none.
QByteArray heldFileName(int fd) {
    struct stat facts {};
    if (fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) return {};
    const QByteArray name = "/proc/" + QByteArray::number(getpid()) + "/fd/" + QByteArray::number(fd);
    return access(name.constData(), R_OK) == 0 ? name : QByteArray();
}

// The picture file's contents, at most `limit` bytes, copied within the
// kernel into the exchange file `to`. Returns the bytes copied; 0 when the
// source is not a regular file or anything fails.
std::uint64_t copyContents(int from, const QString& to, std::uint64_t limit) {
    struct stat facts {};
    if (fstat(from, &facts) != 0 || !S_ISREG(facts.st_mode)) return 0;
    const std::uint64_t wanted = std::min<std::uint64_t>(std::uint64_t(facts.st_size), limit);
    const int out = open(toNative(to).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) return 0;
    off_t offset = 0;
    bool ok = true;
    // Regular files are never interrupted; none sent means the file shrank
    // since it was looked at.
    while (ok && std::uint64_t(offset) < wanted)
        ok = sendfile(out, from, &offset, std::size_t(wanted - std::uint64_t(offset))) > 0;
    ok = ok && ftruncate(out, offset) == 0;
    close(out);
    return ok ? std::uint64_t(offset) : 0;
}

// The host's two blocks, read into memory of this program's own. Read, not
// mapped: a host that cuts its file short meanwhile costs the picture, not
// the program (a mapping would fault past the file's new end). Empty when
// the file holds less than the host claims.
QByteArray readBlocks(const QString& path, const WirePictureReply& blocks) {
    const int fd = open(toNative(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    QByteArray bytes;
    struct stat facts {};
    const std::uint64_t size =
        fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) ? std::uint64_t(facts.st_size) : 0;
    if (blocks.headerBytes <= size && blocks.pixelBytes <= size - blocks.headerBytes &&
        blocks.headerBytes + blocks.pixelBytes <= kLargestBitmap) {
        const std::uint64_t wanted = blocks.headerBytes + blocks.pixelBytes;
        bytes = QByteArray(qsizetype(wanted), Qt::Uninitialized);
        std::uint64_t done = 0;
        while (done < wanted) {
            const ssize_t got = pread(fd, bytes.data() + done, std::size_t(wanted - done), off_t(done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += std::uint64_t(got);
        }
        if (done < wanted) bytes.clear();
    }
    close(fd);
    return bytes;
}

} // namespace

DecodeRequest::DecodeRequest(PluginSlots& table, HostPool& pool, const HostSetup& setup, const QString& path)
    : slots_(table), pool_(pool), setup_(setup), path_(path), generation_(table.generation()) {
    promise_.start();
}

DecodeRequest::~DecodeRequest() {
    if (!finished_) overtake();
}

void DecodeRequest::start(bool watched) {
    // Only a regular file, and none larger than any picture worth
    // decoding, is read. Only the beginning is needed to choose a plug-in;
    // a host opens the file itself.
    const PathFacts facts = pathFacts(path_);
    if (!facts.isRegular || facts.size > kLargestInput || !openNative(file_, path_)) return finish({});
    fileBytes_ = facts.size;
    asked_ = file_.read(ORBET_WIRE_HEAD_SIZE);
    if (asked_.isEmpty()) return finish({});
    asked_.append(QByteArray(ORBET_WIRE_HEAD_SIZE - asked_.size(), '\0'));
    asked_ += toNative(path_);
    if (watched) {
        timer_ = std::make_unique<QTimer>();
        timer_->setInterval(50);
        QObject::connect(timer_.get(), &QTimer::timeout, this, [this] { advance(); });
        timer_->start();
    }
    // Watched, even a reply already there is taken from the event loop:
    // the caller has its future before anything of the picture happens.
    askSlot();
}

// Sets the wait up for the slot asked now, or the next one that can be
// asked; finishes after the last loaded slot.
void DecodeRequest::askSlot() {
    for (; !finished_ && slot_ < PluginSlots::Count; ++slot_, retried_ = false) {
        PluginSlots::Slot& slot = slots_[slot_];
        if (slot.path.isEmpty()) break;
        HostProcess* onHost = pool_.host(slot.kind, false);
        if (!onHost) continue;
        if (!pool_.greeted(slot.kind))
            return awaitReply(onHost, {onHost->run(), 0}, pool_.greetingLimit(slot.kind), Stage::Greeting);
        if (slot.hostRun == onHost->run() && slot.hostId > 0) {
            const HostProcess::Ticket ticket = onHost->send(WIRE_SUPPORTED, slot.hostId, asked_);
            if (ticket.run != 0) return awaitReply(onHost, ticket, setup_.callLimit, Stage::Asking);
            continue;
        }
        // A load startHosts() sent ahead is awaited, not sent again.
        if (slot.loading.run != onHost->run() || !onHost->awaitable(slot.loading))
            slot.loading = onHost->send(WIRE_LOAD, 0, toNative(slot.path));
        if (slot.loading.run != 0) return awaitReply(onHost, slot.loading, setup_.callLimit, Stage::Loading);
    }
    finish({});
}

void DecodeRequest::awaitReply(HostProcess* host, HostProcess::Ticket ticket, std::chrono::milliseconds limit,
                               Stage stage) {
    host_ = host;
    ticket_ = ticket;
    deadline_ = Clock::now() + limit;
    stage_ = stage;
}

void DecodeRequest::advance() {
    while (!finished_) {
        if (promise_.isCanceled()) return overtake();
        // Slots filled anew or released under the request: its slot numbers
        // mean other plug-ins now.
        if (slots_.generation() != generation_) return finish({});
        HostProcess::Reply reply;
        const bool answered = host_->answered(ticket_);
        if (stage_ == Stage::Greeting) {
            const PluginKind kind = slots_[slot_].kind;
            if (answered && pool_.greeted(kind)) {
                askSlot();
                continue;
            }
        } else if (answered) {
            reply = host_->await(ticket_, std::chrono::milliseconds(0));
            replied(reply);
            continue;
        }
        if (host_->running() && host_->awaitable(ticket_)) {
            // A plug-in still busy with an overtaken picture holds this
            // request up only for the cancel's grace, not for the limit;
            // the one asked then gets another chance on a new host.
            if (host_->endOverdueCancel()) {
                if (!retried_) {
                    retried_ = true;
                    askSlot();
                    continue;
                }
            } else if (Clock::now() < deadline_) {
                return;
            } else {
                host_->kill();
            }
        }
        replied({}); // the host is gone, with its plug-in or out of time
    }
}

void DecodeRequest::replied(const HostProcess::Reply& reply) {
    PluginSlots::Slot& slot = slots_[slot_];
    switch (stage_) {
    case Stage::Greeting:
        return nextSlot();
    case Stage::Loading:
        slot.loading = {};
        if (!reply.ok || reply.value <= 0) return nextSlot();
        slot.hostRun = ticket_.run;
        slot.hostId = reply.value;
        return askSlot();
    case Stage::Asking:
        if (!reply.ok || reply.value == 0) return nextSlot();
        return sendPicture();
    case Stage::Decoding:
        return finish(picture(reply));
    }
}

void DecodeRequest::nextSlot() {
    ++slot_;
    retried_ = false;
    askSlot();
}

void DecodeRequest::sendPicture() {
    const PluginKind kind = slots_[slot_].kind;
    const QString exchange = pool_.exchangeFolder();
    if (exchange.isEmpty()) return finish({});
    // The host has just answered whether its plug-in takes the file, so any
    // older picture of it is over and no longer looks for its cancel.
    const QString cancel = pool_.cancelFile(kind);
    unlink(toNative(cancel).constData());
    // The host maps the very file this program holds open, through its
    // descriptor's name, bounded by the size seen here: nothing swapped in
    // under the file's name since (a pipe would hang Wine's server) reaches
    // a plug-in, and no name needs a Windows form. Where the system offers
    // no such name, the native host opens the name itself and refuses
    // anything but a regular file, and a Windows host gets a copy under a
    // plain name.
    QByteArray input = setup_.lendOpenFiles ? heldFileName(file_.handle()) : QByteArray();
    std::uint64_t inputBytes = std::uint64_t(fileBytes_);
    if (input.isEmpty() && kind == PluginKind::Native) input = toNative(path_);
    if (input.isEmpty()) {
        const QString copy = pool_.exchangeFile("in", kind);
        inputBytes = copyContents(file_.handle(), copy, kLargestInput);
        if (inputBytes > kLargestKeptExchange) dropFiles_ << copy;
        if (inputBytes == 0) return finish({});
        input = toNative(copy);
    }
    const WirePictureRequest request{inputBytes};
    QByteArray payload(reinterpret_cast<const char*>(&request), sizeof request);
    payload += input + '\0' + toNative(pool_.exchangeFile("out", kind)) + '\0' + toNative(cancel) + '\0';
    const HostProcess::Ticket ticket = host_->send(WIRE_PICTURE, slots_[slot_].hostId, payload);
    if (ticket.run == 0) return finish({});
    awaitReply(host_, ticket, setup_.callLimit, Stage::Decoding);
}

QImage DecodeRequest::picture(const HostProcess::Reply& reply) {
    // The return value is not checked: whatever blocks came back are used.
    if (!reply.ok || reply.payload.size() != qsizetype(sizeof(WirePictureReply))) return {};
    WirePictureReply blocks;
    std::memcpy(&blocks, reply.payload.constData(), sizeof blocks);
    if (blocks.headerBytes == 0 || blocks.pixelBytes == 0) return {};
    const QString output = pool_.exchangeFile("out", slots_[slot_].kind);
    const QByteArray bytes = readBlocks(output, blocks);
    if (blocks.headerBytes + blocks.pixelBytes > kLargestKeptExchange) dropFiles_ << output;
    if (bytes.isEmpty()) return {};
    return dibToPicture(bytes.constData(), std::size_t(blocks.headerBytes),
                        bytes.constData() + blocks.headerBytes, std::size_t(blocks.pixelBytes));
}

QImage DecodeRequest::wait() {
    while (!finished_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
        // Short slices: a cancel's grace may run out meanwhile.
        host_->waitReadable(std::clamp(left, std::chrono::milliseconds(0), std::chrono::milliseconds(50)));
        advance();
    }
    return result_;
}

void DecodeRequest::overtake() {
    if (finished_) return;
    if (host_ && stage_ == Stage::Decoding && host_->outstanding(ticket_)) {
        AtomicWriter marker(pool_.cancelFile(slots_[slot_].kind));
        if (marker.open()) marker.commit();
        host_->cancel(ticket_);
    } else if (host_ && stage_ == Stage::Asking) {
        host_->cancel(ticket_);
    }
    // A load stays with its slot, for the next request to take up.
    finish({});
}

void DecodeRequest::finish(const QImage& picture) {
    if (finished_) return;
    finished_ = true;
    result_ = picture;
    file_.close();
    for (const QString& file : dropFiles_)
        unlink(toNative(file).constData());
    if (timer_) timer_->stop();
    promise_.addResult(picture);
    promise_.finish();
}

} // namespace orbet
