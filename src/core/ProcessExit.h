#pragma once

#include <exception>

namespace velto::core {

// "End the process with this exit code", thrown from deep inside (a fatal settings error
// after its message box). Only the program's composition root catches it: it lets the
// stack unwind, so every object is torn down in order, and then returns the code from
// main(). Nothing else may catch it, not even with catch (...) without rethrowing.
class ProcessExit : public std::exception {
  public:
    explicit ProcessExit(int code) : code_(code) {}
    int code() const { return code_; }
    const char* what() const noexcept override { return "process exit requested"; }

  private:
    int code_;
};

}  // namespace velto::core
