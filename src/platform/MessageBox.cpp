#include "platform/MessageBox.h"

#include <cstdio>

namespace velto::platform {

MessageBoxAnswer HeadlessMessageBoxes::Show(const std::string& text, const std::string& caption,
                                            MessageBoxButtons buttons) {
    std::lock_guard guard(mutex_);
    shown_.push_back(Shown{text, caption});
    if (!quiet_) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
    if (!answers_.empty()) {
        const MessageBoxAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes : MessageBoxAnswer::Ok;
}

void HeadlessMessageBoxes::QueueAnswer(MessageBoxAnswer answer) {
    std::lock_guard guard(mutex_);
    answers_.push_back(answer);
}

std::vector<HeadlessMessageBoxes::Shown> HeadlessMessageBoxes::shown() const {
    std::lock_guard guard(mutex_);
    return shown_;
}

}  // namespace velto::platform
