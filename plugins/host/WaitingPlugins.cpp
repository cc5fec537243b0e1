// The Windows plug-ins that wait for Wine's first start: Wine makes its
// prefix then, a quarter of a minute the window does not wait for. They are
// loaded once their host has greeted and take the slots name order gives
// them, as if they had been loaded with the rest.

#include <algorithm>
#include <iterator>

#include "platform/NativePath.h"
#include "plugins/host/HostWire.h"
#include "plugins/host/PluginRegistry.h"
#include "plugins/host/SusieLibrary.h"

namespace orbet {

namespace {

// As at loading: a plug-in answering every info number with a mask would
// keep the mask loop going for ever.
constexpr int MaxWaitingMaskReads = 1000;

} // namespace

bool PluginRegistry::loadWaiting() {
    // A decode under way holds slot numbers and has requests with the hosts.
    if (waiting_.empty() || decoding()) return false;
    if (waitingSince_ == std::chrono::steady_clock::time_point())
        waitingSince_ = std::chrono::steady_clock::now();

    std::vector<Slot> added;
    for (const PluginKind kind : {PluginKind::Win32, PluginKind::Win64}) {
        auto ofKind = [kind](const Waiting& waiting) { return waiting.entry.kind == kind; };
        if (std::none_of(waiting_.begin(), waiting_.end(), ofKind)) continue;
        bool failed = false;
        HostProcess* onHost = pool_.greetedHost(kind, failed, waitingSince_);
        if (failed) {
            // Not remembered: the next start asks these plug-ins again.
            waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(), ofKind), waiting_.end());
            continue;
        }
        if (!onHost) continue;
        std::vector<Waiting> batch;
        std::copy_if(waiting_.begin(), waiting_.end(), std::back_inserter(batch), ofKind);
        for (const Waiting& waiting : batch) {
            // A host that died under one plug-in is started again for the
            // next on a later call.
            if (!onHost->running()) break;
            loadWaitingOne(*onHost, waiting, added);
            const int order = waiting.order;
            waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                          [order](const Waiting& w) { return w.order == order; }),
                           waiting_.end());
        }
    }
    // Writes nothing while nothing changed.
    if (waitingCache_) waitingCache_->write();
    if (waiting_.empty()) waitingCache_.reset();
    if (added.empty()) return false;
    placeSlots(std::move(added));
    return true;
}

// Loads one waiting plug-in and asks its texts. One that takes its host
// down is no plug-in, as at loading.
void PluginRegistry::loadWaitingOne(HostProcess& onHost, const Waiting& waiting, std::vector<Slot>& added) {
    Slot slot;
    slot.order = waiting.order;
    slot.path = waiting.path;
    slot.kind = waiting.entry.kind;
    const HostProcess::Reply loadReply = onHost.call(WIRE_LOAD, 0, toNative(waiting.path), setup_.callLimit);
    bool usable = loadReply.ok && loadReply.value > 0;
    slot.hostRun = onHost.run();
    slot.hostId = loadReply.value;
    auto info = [&](std::int32_t number) -> QString {
        const HostProcess::Reply reply =
            onHost.call(WIRE_INFO, slot.hostId,
                        QByteArray(reinterpret_cast<const char*>(&number), sizeof number), setup_.callLimit);
        return reply.ok ? pluginText(reply.payload) : QString();
    };
    PluginCache::Entry entry = waiting.entry;
    if (usable) {
        slot.description = info(1);
        for (int k = 2; k < 2 + MaxWaitingMaskReads; ++k) {
            const QString text = info(k);
            if (!text.startsWith(QLatin1Char('*'))) break;
            slot.masks += text;
            entry.maskTexts << text;
        }
        // A plug-in whose host died while it was asked is no plug-in.
        usable = onHost.running() && onHost.run() == slot.hostRun;
        entry.description = slot.description;
    }
    if (!usable) entry = waiting.entry;
    entry.loaded = usable;
    if (waitingCache_) waitingCache_->put(waiting.path, entry);
    if (usable) added.push_back(slot);
}

void PluginRegistry::placeSlots(std::vector<Slot> added) {
    // Pushed past the last slot: released without waiting for the answer.
    for (const Slot& out : slots_.place(std::move(added))) {
        HostProcess* onHost = pool_.runningHost(out.kind);
        if (onHost && out.hostRun == onHost->run() && out.hostId > 0)
            onHost->cancel(onHost->send(WIRE_FREE, out.hostId, {}));
    }
}

} // namespace orbet
