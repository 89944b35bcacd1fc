#include "skype/ApplicationChannel.h"

#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

void ApplicationChannel::Prepare(Skype& skype) {
    auto command = skype.CreateCommand();
    command->SetCommand(std::string("Create Application ") + kApplicationName);
    skype.SendCommand(command);
    auto application = skype.Application(kApplicationName);
    // Each round must remove a stream; a Skype that keeps one open after its disconnect
    // must not hold the main thread for ever.
    auto streams = application->Streams();
    int32_t rounds = streams->Count();
    while (streams->Count() > 0) {
        if (rounds-- <= 0) {
            Trace("App streams: %d still open after disconnecting, left alone\n",
                  static_cast<int>(streams->Count()));
            break;
        }
        streams->Item(1)->Disconnect();
        streams = application->Streams();
    }
}

void ApplicationChannel::OnStreams(ApplicationStreamCollection& streams) {
    const int32_t count = streams.Count();
    Trace("streams count: %d ....................................\n", static_cast<int>(count));
    for (int32_t i = 1; i <= count; ++i) {
        const std::string handle = streams.Item(i)->Handle();
        Trace("Try to find %s..........................\n", handle.c_str());
        if (auto found = awaited_.find(handle); found != awaited_.end()) {
            found->second = true;
            Trace("Found %s.............................\n", handle.c_str());
        }
    }
    streams_.clear();
    for (int32_t i = 1; i <= count; ++i) {
        auto stream = streams.Item(i);
        streams_[stream->Handle()] = stream;
    }
    Trace("App Streams\n");
}

void ApplicationChannel::OnReceiving(ApplicationStreamCollection& streams) {
    const int32_t count = streams.Count();
    for (int32_t i = 1; i <= count; ++i) {
        auto stream = streams.Item(i);
        if (stream->DataLength() != 2) {
            continue;
        }
        const std::string text = stream->Read();
        if (text == "SP") {
            if (stopPlayingSound_) {
                stopPlayingSound_();
            }
        } else if (text == "NA" || text == "RT") {
            const std::string handle = stream->Handle();
            auto reply = replies_.find(handle);
            if (reply == replies_.end()) {
                Trace("Reply %s on %s: nobody waits for it, dropped\n", text.c_str(),
                      handle.c_str());
            } else {
                reply->second = text == "NA" ? kNegativeReply : kPositiveReply;
            }
        }
    }
    Trace("App Receiving\n");
}

void ApplicationChannel::AwaitStream(const std::string& handle) {
    awaited_.try_emplace(handle, false);
}

std::optional<bool> ApplicationChannel::StreamListed(const std::string& handle) const {
    const auto found = awaited_.find(handle);
    return found == awaited_.end() ? std::nullopt : std::optional<bool>(found->second);
}

void ApplicationChannel::ExpectReply(const std::string& handle) {
    replies_[handle] = 0;
}

std::optional<int32_t> ApplicationChannel::Reply(const std::string& handle) const {
    const auto found = replies_.find(handle);
    return found == replies_.end() ? std::nullopt : std::optional<int32_t>(found->second);
}

std::vector<std::string> ApplicationChannel::StreamHandles() const {
    std::vector<std::string> handles;
    for (const auto& [handle, stream] : streams_) {
        handles.push_back(handle);
    }
    return handles;
}

void ApplicationChannel::Clear() {
    streams_.clear();
}

}  // namespace velto::skype
