#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace velto::platform {

enum class MessageBoxButtons { Ok, OkCancel, YesNo };
enum class MessageBoxAnswer { Ok, Cancel, Yes, No };

// Message boxes and modal yes/no questions. The GUI shows dialogs; headless runs print
// the text and answer from a configured list.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual MessageBoxAnswer Show(const std::string& text, const std::string& caption,
                                  MessageBoxButtons buttons = MessageBoxButtons::Ok) = 0;
};

// Writes "caption: text" to standard error and records it. Answers are taken from the
// queue given with QueueAnswer; with none queued it answers Ok, or Yes for YesNo.
class HeadlessMessageBoxes final : public MessageBoxes {
  public:
    struct Shown {
        std::string text;
        std::string caption;
    };

    MessageBoxAnswer Show(const std::string& text, const std::string& caption,
                          MessageBoxButtons buttons = MessageBoxButtons::Ok) override;

    void QueueAnswer(MessageBoxAnswer answer);
    std::vector<Shown> shown() const;
    void set_quiet(bool quiet) { quiet_ = quiet; }

  private:
    mutable std::mutex mutex_;
    std::deque<MessageBoxAnswer> answers_;
    std::vector<Shown> shown_;
    bool quiet_ = false;
};

}  // namespace velto::platform
