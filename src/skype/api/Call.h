#pragma once

#include <cstdint>
#include <string>

#include "platform/InterfaceTable.h"
#include "skype/api/Numbering.h"

namespace velto::skype {

// One Skype call. Every operation may raise AutomationError.
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

    // Puts this call into the interface table for another thread, which obtains its own
    // reference with table.Get<Call>(cookie).
    virtual platform::Cookie RegisterIn(platform::InterfaceTable& table) = 0;
};

}  // namespace velto::skype
