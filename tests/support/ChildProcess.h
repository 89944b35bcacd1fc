#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace velto::test {

// A program run as a real process with its own environment; its standard output is read
// by the test. Killed when the object goes before it has been waited for.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& env);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads output until `fragment` has appeared (blocking); false at end of output.
    bool ReadUntil(const std::string& fragment);
    // Reads everything up to the end of the output.
    void ReadToEnd() { ReadUntil(std::string(1, '\x01')); }
    // The exit code, or 128 + the signal that ended it.
    int Wait();
    void Signal(int signal);
    const std::string& text() const { return text_; }
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
};

}  // namespace velto::test
