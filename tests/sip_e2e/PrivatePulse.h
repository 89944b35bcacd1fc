#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// A PulseAudio server of the test's own with null devices: a speaker whose sound is
// recorded, and a microphone that says what a file holds. Nothing reaches a sound card.
namespace velto::test {

class PrivatePulse {
  public:
    explicit PrivatePulse(std::filesystem::path folder);
    // Ends every process it started.
    ~PrivatePulse();
    PrivatePulse(const PrivatePulse&) = delete;
    PrivatePulse& operator=(const PrivatePulse&) = delete;

    static bool Available();
    // Starts the server and waits (at most 5 s) until it answers.
    bool Start();
    // For PULSE_SERVER.
    std::string Server() const { return "unix:" + (folder_ / "socket").string(); }
    // The microphone says `file` (a WAV).
    void Say(const std::filesystem::path& file);
    // Records the speaker into `file` (a WAV) until the server ends.
    void RecordSpeaker(const std::filesystem::path& file);

  private:
    pid_t Spawn(std::vector<std::string> args);

    std::filesystem::path folder_;
    std::vector<pid_t> children_;
};

}  // namespace velto::test
