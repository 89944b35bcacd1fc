#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "callapi/ApplicationStreamCollection.h"
#include "callapi/Skype.h"

namespace velto::skype {

// The application-to-application channel: the program declares itself to Skype as the
// application "VELTo" and listens on its streams for the peer's two-letter messages
// ("SP": stop the sound now playing; "NA"/"RT": a negative or positive reply). It sends
// nothing itself. Main thread only, like the events that drive it.
class ApplicationChannel {
  public:
    static constexpr const char* kApplicationName = "VELTo";
    static constexpr int32_t kNegativeReply = -1;  // "NA"
    static constexpr int32_t kPositiveReply = 1;   // "RT"

    explicit ApplicationChannel(std::function<void()> stopPlayingSound)
        : stopPlayingSound_(std::move(stopPlayingSound)) {}

    // At each grant of access: creates the application and disconnects every stream it
    // still has, so that each attachment starts with none.
    void Prepare(Skype& skype);

    // Event 17: the streams now open.
    void OnStreams(ApplicationStreamCollection& streams);
    // Event 20: data is waiting on some of the streams.
    void OnReceiving(ApplicationStreamCollection& streams);

    // A stream the program waits for; StreamListed turns true once Skype lists it.
    void AwaitStream(const std::string& handle);
    std::optional<bool> StreamListed(const std::string& handle) const;
    // Makes room for the peer's reply on a stream. A reply arriving for a stream without
    // such an entry has nobody to read it and is dropped (never waited for).
    void ExpectReply(const std::string& handle);
    // 0 while awaited, then kNegativeReply or kPositiveReply; nothing without an entry.
    std::optional<int32_t> Reply(const std::string& handle) const;

    std::vector<std::string> StreamHandles() const;
    // Drops the stream objects (the Skype object is being released).
    void Clear();

  private:
    std::function<void()> stopPlayingSound_;
    std::map<std::string, std::shared_ptr<ApplicationStream>> streams_;
    std::map<std::string, bool> awaited_;
    std::map<std::string, int32_t> replies_;
};

}  // namespace velto::skype
