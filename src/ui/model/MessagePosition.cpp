#include "ui/model/MessagePosition.h"

#include <algorithm>

namespace velto::ui {

uint32_t MessagePosition::Play(platform::Millis now) {
    if (state_ != State::Playing) {
        fromMs_ = state_ == State::Paused ? fromMs_ : 0;
        startedAt_ = now;
        state_ = State::Playing;
    }
    return fromMs_;
}

void MessagePosition::Pause(platform::Millis now) {
    if (state_ == State::Playing) {
        fromMs_ = ElapsedMs(now);
        state_ = State::Paused;
    }
}

uint32_t MessagePosition::Seek(uint32_t ms, platform::Millis now) {
    fromMs_ = std::min(ms, totalMs_);
    startedAt_ = now;
    if (state_ == State::Stopped) {
        state_ = State::Paused;
    }
    return fromMs_;
}

void MessagePosition::Finished() {
    state_ = State::Stopped;
    fromMs_ = 0;
}

uint32_t MessagePosition::ElapsedMs(platform::Millis now) const {
    if (state_ != State::Playing) {
        return fromMs_;
    }
    const int64_t since = std::max<int64_t>(0, (now - startedAt_).count());
    return static_cast<uint32_t>(std::min<int64_t>(int64_t{fromMs_} + since, totalMs_));
}

std::u16string PlayTimeText(uint32_t ms) {
    const uint32_t seconds = ms / 1000;
    const auto two = [](uint32_t value) {
        return std::u16string{static_cast<char16_t>(u'0' + value / 10),
                              static_cast<char16_t>(u'0' + value % 10)};
    };
    std::u16string text;
    const uint32_t hours = seconds / 3600;
    const uint32_t minutes = seconds / 60 % 60;
    if (hours > 0) {
        for (const char c : std::to_string(hours)) {
            text += static_cast<char16_t>(c);
        }
        text += u':';
        text += two(minutes);
    } else {
        for (const char c : std::to_string(minutes)) {
            text += static_cast<char16_t>(c);
        }
    }
    text += u':';
    text += two(seconds % 60);
    return text;
}

}  // namespace velto::ui
