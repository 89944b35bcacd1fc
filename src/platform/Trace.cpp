#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace velto::platform {

namespace {
std::mutex& TraceMutex() {
    static std::mutex mutex;
    return mutex;
}
TraceCapture* g_capture = nullptr;
}  // namespace

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);

    std::lock_guard guard(TraceMutex());
    if (g_capture != nullptr) {
        g_capture->Append(text);
        if (!g_capture->echo_) {
            return;
        }
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

TraceCapture::TraceCapture() {
    std::lock_guard guard(TraceMutex());
    previous_ = g_capture;
    g_capture = this;
}

TraceCapture::~TraceCapture() {
    std::lock_guard guard(TraceMutex());
    g_capture = previous_;
}

void TraceCapture::Append(const std::string& text) {
    text_ += text;
}

std::string TraceCapture::Text() const {
    std::lock_guard guard(TraceMutex());
    return text_;
}

bool TraceCapture::Contains(const std::string& fragment) const {
    return Text().find(fragment) != std::string::npos;
}

int TraceCapture::Count(const std::string& fragment) const {
    const std::string text = Text();
    int count = 0;
    for (size_t pos = text.find(fragment); !fragment.empty() && pos != std::string::npos;
         pos = text.find(fragment, pos + fragment.size())) {
        ++count;
    }
    return count;
}

void TraceCapture::Clear() {
    std::lock_guard guard(TraceMutex());
    text_.clear();
}

}  // namespace velto::platform
