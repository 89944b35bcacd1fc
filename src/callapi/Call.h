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

// What a call reports to its watchers (Call::Watch).
enum class CallChange {
    Status,      // Status() changed
    Video,       // VideoSendStatus() or VideoReceiveStatus() changed
    InputEnded,  // the file set as input has played to its end
};

// The three device settings of a call, set together (Call::SetDevices).
struct DeviceSettings {
    DeviceKind inputKind = DeviceKind::SoundCard;
    std::string input;
    DeviceKind outputKind = DeviceKind::SoundCard;
    std::string output;
    DeviceKind captureMicKind = DeviceKind::SoundCard;
    std::string captureMic;

    // All three of one kind and text.
    static DeviceSettings All(DeviceKind kind, const std::string& text) {
        return DeviceSettings{kind, text, kind, text, kind, text};
    }
};

// One Skype call. Every operation may raise AutomationError.
//
// The workers of a call (call handler, answering machine, video guards) do not poll: they
// sleep until the call reports a change or until a moment they know of (a time limit). So
// every backend reports, through the function given to Watch:
//   - each change of Status();
//   - each change of VideoSendStatus() or VideoReceiveStatus(), whoever made it (the
//     partner, the client, or this program's own Start/Stop calls);
//   - the end of a file set as input, once it has played to its end (InputStillPlaying()
//     turning false while the call goes on), or at once when it cannot be played: the
//     ring-back tone is set again on this report alone. A file cut short by another
//     setting or by the call's end is not reported.
// A change made after Watch returned is never lost. A worker re-reads what a report
// concerns, so a report with nothing changed costs one wake-up and nothing else.
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
    // The three settings above in one step, in the order input, output, capture
    // microphone. A backend that acts on only some of them is not sent the others one by
    // one.
    virtual void SetDevices(const DeviceSettings& devices) {
        SetInputDevice(devices.inputKind, devices.input);
        SetOutputDevice(devices.outputKind, devices.output);
        SetCaptureMicDevice(devices.captureMicKind, devices.captureMic);
    }
    // The text now set for that kind ("" when the device is of another kind). A file set as
    // input reads back as "" once it has been played to its end.
    virtual std::string InputDevice(DeviceKind kind) = 0;
    virtual std::string OutputDevice(DeviceKind kind) = 0;
    virtual std::string CaptureMicDevice(DeviceKind kind) = 0;
    // True while a file set as input is still being played into the call.
    virtual bool InputStillPlaying() = 0;
    // Listening in: the partner's voice plays on the computer's default sound output as
    // well (on), or no longer (off), whatever the output device records it into. The input
    // and the capture microphone are left as they are, so the partner hears nothing of the
    // computer. Attaching the devices (taking the call) plays the partner there anyway.
    virtual void ListenIn(bool on) = 0;
    // While a file output records the partner: the WAV file the voice goes into now, its
    // header readable (kept so at least every second) and the samples behind it those of
    // the recording so far; the recording is put in the output's place unchanged when it
    // ends. "" when nothing is being recorded, or the backend cannot show it.
    virtual std::string RecordingSoFar() { return {}; }

    virtual VideoStatus VideoSendStatus() = 0;
    virtual VideoStatus VideoReceiveStatus() = 0;
    virtual void StartVideoSend() = 0;
    virtual void StopVideoSend() = 0;
    virtual void StartVideoReceive() = 0;
    virtual void StopVideoReceive() = 0;

    // Calls `changed` with each change listed above, for as long as the returned watch
    // lives. `changed` runs on whatever thread the backend notices the change on, perhaps
    // while the backend holds its own locks: it must return quickly and must not use the
    // call or any other Skype object (it only wakes the waiting worker, which then reads
    // through its own reference). Only on the thread that obtained this reference.
    virtual std::unique_ptr<CallWatch> Watch(std::function<void(CallChange)> changed) = 0;
    // The same, for a watcher that does not care what changed.
    std::unique_ptr<CallWatch> Watch(std::function<void()> changed) {
        return Watch([changed = std::move(changed)](CallChange) { changed(); });
    }

    // Puts this call into the interface table for another thread, which obtains its own
    // reference with table.Get<Call>(cookie).
    virtual platform::Cookie RegisterIn(platform::InterfaceTable& table) = 0;
};

}  // namespace velto::skype
