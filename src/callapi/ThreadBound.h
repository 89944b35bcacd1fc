#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "callapi/AutomationError.h"

namespace velto::skype {

// The base of a backend's automation objects. Each is a reference bound to the thread that
// obtained it, like a COM interface pointer in a single-threaded apartment, and reaches the
// backend's shared state through backend_.
template <typename Backend>
class ThreadBound {
  protected:
    ThreadBound(std::shared_ptr<Backend> backend, const char* kind)
        : backend_(std::move(backend)), owner_(std::this_thread::get_id()), kind_(kind) {}

    // Fails a use on a foreign thread with kWrongThread. A backend that keeps a record of
    // such uses (RecordViolation: the simulator, for tests) is told first.
    void Check(const char* operation) const {
        if (std::this_thread::get_id() == owner_) {
            return;
        }
        std::string what = std::string(kind_) + "::" + operation +
                           " used on a thread that did not obtain the object";
        if constexpr (requires(Backend & backend, const std::string& text) {
                          backend.RecordViolation(text);
                      }) {
            backend_->RecordViolation(what);
        }
        throw AutomationError(kWrongThread, what);
    }

    // The handle at a collection's 1-based `index`, or kBadIndex.
    const std::string& HandleAt(const std::vector<std::string>& handles, int32_t index) const {
        if (index < 1 || static_cast<size_t>(index) > handles.size()) {
            throw AutomationError(kBadIndex,
                                  std::string(kind_) + "::Item: index " + std::to_string(index));
        }
        return handles[static_cast<size_t>(index - 1)];
    }

    std::shared_ptr<Backend> backend_;

  private:
    std::thread::id owner_;
    const char* kind_;
};

}  // namespace velto::skype
