#pragma once

namespace velto::platform {

// Marks the span in which a thread uses shared Skype objects. Nothing needs setting up
// here; the type keeps the places where a worker starts and stops that use visible.
class ComApartment {
  public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace velto::platform
