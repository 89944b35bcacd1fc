#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace velto::platform {

// Opens a web address in the user's browser. The program uses XdgUrlOpener; tests use
// RecordingUrlOpener so that nothing is launched.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual bool Open(const std::string& url) = 0;
};

// Runs xdg-open, detached (not waited for, and no zombie left behind).
class XdgUrlOpener final : public UrlOpener {
  public:
    bool Open(const std::string& url) override;
};

class RecordingUrlOpener final : public UrlOpener {
  public:
    bool Open(const std::string& url) override {
        std::lock_guard guard(mutex_);
        opened_.push_back(url);
        return true;
    }
    std::vector<std::string> opened() const {
        std::lock_guard guard(mutex_);
        return opened_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> opened_;
};

}  // namespace velto::platform
