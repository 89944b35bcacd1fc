#pragma once

namespace velto::core {

// The on/off options kept in the user's registry key. Setting one changes the process-wide
// flag and writes the value through at once (autostart also maintains the Run entry).
class RegistryOptions {
  public:
    virtual ~RegistryOptions() = default;
    virtual void SetAutoStart(bool on) = 0;
    virtual void SetAutoUpdate(bool on) = 0;
    virtual void SetFriendMsg(bool on) = 0;
};

}  // namespace velto::core
