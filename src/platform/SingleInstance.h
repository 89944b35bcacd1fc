#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace velto::platform {

// One running program per user. The lock is an flock() on a file: the kernel drops it when
// its owner ends, however it ends, so a crashed owner never leaves it stuck. Beside it the
// owner listens on a unix socket; a second start connects to it to ask the owner to show
// itself, and then ends.
class SingleInstance {
  public:
    enum class Outcome { First, AnotherRunning, Failed };

    // `folder` holds `name`.lock and `name`.sock (created 0700 when missing).
    SingleInstance(std::filesystem::path folder, std::string name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Failed only when the lock file cannot be created (error() tells why). A lock that
    // cannot be taken for another reason than a live owner counts as First.
    Outcome Acquire();
    int error() const { return error_; }

    // After First: calls `onShowRequest` on a listener thread for each second start.
    // False (with a trace) when the channel cannot be opened; the lock still holds.
    bool Listen(std::function<void()> onShowRequest);

    // After AnotherRunning: asks the owner to show itself. False when nobody listens (the
    // owner is still starting or going away).
    bool AskOwnerToShow() const;

    // Static helper for the folder: $XDG_RUNTIME_DIR/velto when there is a runtime folder,
    // else the given fallback (the user's config folder).
    static std::filesystem::path ChooseFolder(const std::string& runtimeDir,
                                              const std::filesystem::path& fallback);

  private:
    void StopListening();

    std::filesystem::path folder_;
    std::string name_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int error_ = 0;
    std::thread listener_;
};

}  // namespace velto::platform
