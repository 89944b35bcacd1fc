#include "backends/sim/SimWorld.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "backends/sim/SimObjects.h"
#include "backends/sim/SimWorldInternal.h"
#include "callapi/AutomationError.h"
#include "platform/Trace.h"

namespace velto::skype::sim {

using platform::Millis;
using namespace world_detail;

// --- applications ---

bool SimWorld::HasApplication(const std::string& name) const {
    std::lock_guard guard(mutex_);
    auto found = apps_.find(name);
    return found != apps_.end() && found->second.created;
}

std::string SimWorld::ConnectStream(const std::string& app, const std::string& peerHandle) {
    std::lock_guard guard(mutex_);
    auto found = apps_.find(app);
    if (found == apps_.end() || !found->second.created) {
        return {};
    }
    std::string handle = peerHandle + ":" + std::to_string(nextStream_++);
    found->second.streams.push_back(Stream{handle, peerHandle, {}});
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationConnecting, {NamedArg(ArgRef::Kind::App, app), ArgRef{}}});
    StreamsChangedLocked(app);
    return handle;
}

void SimWorld::PeerSends(const std::string& app, const std::string& streamHandle,
                         const std::string& text) {
    std::lock_guard guard(mutex_);
    Stream* stream = FindStreamLocked(app, streamHandle);
    if (stream == nullptr) {
        throw std::logic_error("PeerSends: no open stream " + streamHandle);
    }
    stream->pending.push_back(text);
    ArgRef withData = NamedArg(ArgRef::Kind::Streams, app);
    for (const auto& each : apps_[app].streams) {
        if (!each.pending.empty()) {
            withData.handles.push_back(each.handle);
        }
    }
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationReceiving, {NamedArg(ArgRef::Kind::App, app), withData}});
}

void SimWorld::PeerDisconnects(const std::string& app, const std::string& streamHandle) {
    std::lock_guard guard(mutex_);
    if (FindStreamLocked(app, streamHandle) != nullptr) {
        std::erase_if(apps_[app].streams,
                      [&](const Stream& s) { return s.handle == streamHandle; });
        StreamsChangedLocked(app);
    }
}

std::vector<std::string> SimWorld::StreamHandles(const std::string& app) const {
    return OpenStreams(app);
}

int SimWorld::PendingMessages(const std::string& app, const std::string& streamHandle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, streamHandle);
    return stream == nullptr ? 0 : static_cast<int>(stream->pending.size());
}

std::vector<std::string> SimWorld::OpenStreams(const std::string& app) const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    if (auto found = apps_.find(app); found != apps_.end()) {
        for (const auto& stream : found->second.streams) {
            handles.push_back(stream.handle);
        }
    }
    return handles;
}

int32_t SimWorld::StreamDataLength(const std::string& app, const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, handle);
    if (stream == nullptr || stream->pending.empty()) {
        return 0;
    }
    return static_cast<int32_t>(stream->pending.front().size());
}

std::string SimWorld::StreamRead(const std::string& app, const std::string& handle) {
    std::lock_guard guard(mutex_);
    Stream* stream = FindStreamLocked(app, handle);
    if (stream == nullptr || stream->pending.empty()) {
        return {};
    }
    std::string text = std::move(stream->pending.front());
    stream->pending.erase(stream->pending.begin());
    return text;
}

void SimWorld::StreamDisconnect(const std::string& app, const std::string& handle) {
    std::lock_guard guard(mutex_);
    if (FindStreamLocked(app, handle) != nullptr) {
        std::erase_if(apps_[app].streams, [&](const Stream& s) { return s.handle == handle; });
        StreamsChangedLocked(app);
    }
}

std::string SimWorld::StreamPartner(const std::string& app, const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, handle);
    return stream == nullptr ? std::string() : stream->partner;
}

SimWorld::Stream* SimWorld::FindStreamLocked(const std::string& app, const std::string& handle) {
    auto found = apps_.find(app);
    if (found == apps_.end()) {
        return nullptr;
    }
    for (auto& stream : found->second.streams) {
        if (stream.handle == handle) {
            return &stream;
        }
    }
    return nullptr;
}

const SimWorld::Stream* SimWorld::FindStreamLocked(const std::string& app,
                                                   const std::string& handle) const {
    return const_cast<SimWorld*>(this)->FindStreamLocked(app, handle);
}

void SimWorld::StreamsChangedLocked(const std::string& app) {
    ArgRef all = NamedArg(ArgRef::Kind::Streams, app);
    for (const auto& stream : apps_[app].streams) {
        all.handles.push_back(stream.handle);
    }
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationStreams, {NamedArg(ArgRef::Kind::App, app), all}});
}

}  // namespace velto::skype::sim
