#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velto::platform {

// printf-style diagnostic output to standard output, safe from any thread. Texts are
// written as given: callers end their lines with "\n" themselves.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Routes trace output to a function instead of standard output while it lives (tests).
// Captures nest; the innermost one receives the text.
class TraceCapture {
  public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Everything traced so far, concatenated.
    std::string Text() const;
    bool Contains(const std::string& fragment) const;
    int Count(const std::string& fragment) const;
    void Clear();

    // Also pass everything on to standard output (useful when a test fails).
    void set_echo(bool echo) { echo_ = echo; }

  private:
    friend void Trace(const char*, ...);
    void Append(const std::string& text);

    TraceCapture* previous_;
    std::string text_;
    bool echo_ = false;
};

}  // namespace velto::platform
