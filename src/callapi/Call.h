#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "callapi/Numbering.h"
#include "platform/InterfaceTable.h"

namespace velto::skype {

// A subscription to one call's changes (Call::Watch). Once its destructor has returned,
// the function it was made with is never called again, so that function may refer to the
// waiter's own objects.
class CallWatch {
  public:
    virtual ~CallWatch() = default;
};

// One Skype call. Every operation may raise AutomationError.
//
// The workers of a call (call handler, answering machine, video guards) do not poll: they
// sleep until the call changes or until a moment they know of (the end of a tone they
// play, a time limit). So every backend must signal, through the function given to Watch:
//   - each change of Status();
//   - each change of VideoSendStatus() or VideoReceiveStatus(), whoever made it (the
//     partner, the client, or this program's own Start/Stop calls);
//   - when it can tell, the end of a file set as input (InputStillPlaying() turning
//     false). A backend that cannot must make InputStillPlaying() turn false when the file
//     has played for its length from the moment it was set: the workers wake a few ms
//     before that moment and then ask every millisecond until it has ended.
// A change made after Watch returned is never lost. A worker re-reads everything on every
// wake-up, so a signal with nothing changed costs one wake-up and nothing else.
class Call {
  public:
    virtual ~Call() = default;

    // Unique per call.
    virtual int32_t Id() = 0;
    virtual std::string PartnerHandle() = 0;
    virtual std::string PartnerDisplayName() = 0;
    virtual CallType Type() = 0;
    virtual CallStatus Status() = 0;

    // Raises AutomationError when the call cannot be answered (for example when Skype
    // answered it by itself).
    virtual void Answer() = 0;
    // Hangs up.
    virtual void Finish() = 0;

    // The input is what the partner hears; the output is the partner's voice as delivered
    // here; the capture microphone is the third device, always set with the other two.
    // Kind SoundCard with "" cuts the computer's device off, with "default" attaches the
    // default device; kind File with a path plays a WAV file into the call (input) or
    // records the partner into one (output); kind File with "" removes the file.
    virtual void SetInputDevice(DeviceKind kind, const std::string& text) = 0;
    virtual void SetOutputDevice(DeviceKind kind, const std::string& text) = 0;
    virtual void SetCaptureMicDevice(DeviceKind kind, const std::string& text) = 0;
    // The text now set for that kind ("" when the device is of another kind). A file set as
    // input reads back as "" once it has been played to its end.
    virtual std::string InputDevice(DeviceKind kind) = 0;
    virtual std::string OutputDevice(DeviceKind kind) = 0;
    virtual std::string CaptureMicDevice(DeviceKind kind) = 0;
    // True while a file set as input is still being played into the call.
    virtual bool InputStillPlaying() = 0;

    virtual VideoStatus VideoSendStatus() = 0;
    virtual VideoStatus VideoReceiveStatus() = 0;
    virtual void StartVideoSend() = 0;
    virtual void StopVideoSend() = 0;
    virtual void StartVideoReceive() = 0;
    virtual void StopVideoReceive() = 0;

    // Calls `changed` after each change listed above, for as long as the returned watch
    // lives. `changed` runs on whatever thread the backend notices the change on, perhaps
    // while the backend holds its own locks: it must return quickly and must not use the
    // call or any other Skype object (it only wakes the waiting worker, which then reads
    // through its own reference). Only on the thread that obtained this reference.
    virtual std::unique_ptr<CallWatch> Watch(std::function<void()> changed) = 0;

    // Puts this call into the interface table for another thread, which obtains its own
    // reference with table.Get<Call>(cookie).
    virtual platform::Cookie RegisterIn(platform::InterfaceTable& table) = 0;
};

}  // namespace velto::skype
