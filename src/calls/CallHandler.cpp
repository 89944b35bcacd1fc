#include "calls/CallHandler.h"

#include <algorithm>
#include <mutex>

#include "calls/AnsweringMachine.h"
#include "calls/CallEnd.h"
#include "calls/CallTimeText.h"
#include "calls/RingBackTone.h"
#include "calls/ToneFeeder.h"
#include "calls/VideoThread.h"
#include "i18n/LanguageTable.h"
#include "platform/FileLookup.h"
#include "platform/StopSignal.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "skype/api/Skype.h"

namespace velto::calls {
namespace {

using platform::Millis;
using skype::AutomationError;
using skype::DeviceKind;

// Lets the handler sleep until a deadline or until the panel's decision changes.
class Wakeup {
  public:
    explicit Wakeup(platform::Clock& clock) : changed_(clock) {}

    void Wake() {
        std::lock_guard guard(mutex_);
        woken_ = true;
        changed_.NotifyAll();
    }

    void WaitUntil(Millis deadline) {
        std::unique_lock lock(mutex_);
        changed_.WaitUntil(lock, deadline, [&] { return woken_; });
        woken_ = false;
    }

  private:
    std::mutex mutex_;
    platform::ClockCondition changed_;
    bool woken_ = false;
};

void SetAllDevices(skype::Call& call, DeviceKind kind, const std::string& text) {
    call.SetInputDevice(kind, text);
    call.SetOutputDevice(kind, text);
    call.SetCaptureMicDevice(kind, text);
}

}  // namespace

CallHandler::CallHandler(CallServices& services, platform::Cookie callCookie)
    : services_(services), cookie_(callCookie) {}

skype::ResultCode CallHandler::Run() {
    skype::ResultCode result = 0;
    if (auto call = services_.table.Get<skype::Call>(cookie_)) {
        result = Dispatch(*call);
        try {
            services_.shared.ActiveCallIds.Erase(call->Id());
        } catch (const AutomationError& error) {
            platform::Trace("CallHandler: call id unreadable, HRESULT: %u(%x)\n",
                            error.unsignedCode(), error.unsignedCode());
        }
    } else {
        platform::Trace("CallHandler: no call under cookie %u\n", cookie_);
    }
    services_.table.Revoke(cookie_);
    return result;
}

skype::ResultCode CallHandler::Dispatch(skype::Call& call) {
    skype::CallType type = skype::CallType::Unknown;
    try {
        type = call.Type();
    } catch (const AutomationError& error) {
        platform::Trace("CallHandler exception with HRESULT: %u(%x)\n", error.unsignedCode(),
                        error.unsignedCode());
        return error.code();
    }
    if (type == skype::CallType::IncomingPstn || type == skype::CallType::IncomingP2P) {
        return Incoming(call);
    }
    return Outgoing(call);
}

skype::ResultCode CallHandler::Outgoing(skype::Call&) {
    platform::Trace("Here is outgoing\n");
    return 0;
}

skype::ResultCode CallHandler::Incoming(skype::Call& call) {
    CallServices& s = services_;
    const CallTimings& timings = s.timings;
    const std::string timeStamp = CallTimeText(s.clock.WallNow());
    VideoThread sendGuard(s, cookie_, VideoThread::Direction::Send);
    VideoThread receiveGuard(s, cookie_, VideoThread::Direction::Receive);
    const auto cancelVideo = [&] {
        sendGuard.Cancel();
        receiveGuard.Cancel();
    };
    Wakeup wakeup(s.clock);
    // Quitting ends every wait of the handler at once.
    platform::StopSignal& stop = s.workers.stop();
    const auto wakeOnStop = stop.OnStop([&wakeup] { wakeup.Wake(); });
    std::unique_ptr<AnsweringPanel> panel;
    bool ringing = false;
    skype::ResultCode result = 0;

    try {
        SetAllDevices(call, DeviceKind::SoundCard, "");
        sendGuard.Start();
        receiveGuard.Start();
        try {
            call.Answer();
        } catch (const AutomationError&) {
            platform::Trace(
                "Did you enable auto answering??? Not sure how to do it, just ignore it....");
        }

        const std::string handle = call.PartnerHandle();
        const auto entry = s.settings.FindRingBack(handle);
        const bool perContact = entry && entry->mode != kModeAd;
        if (perContact) {
            platform::Trace("USE RINGTONE!!!!\n");
        }

        // The chat message; a contact seen for the first time gets the standard tone.
        auto choice = s.settings.FindRingBack(handle);
        if (!choice) {
            choice = core::RingBackChoice{kModeStandard, -1, -1};
            s.settings.SetRingBack(handle, *choice);
        }
        std::string userName = s.shared.MyHandle.Get();
        const auto skypeObject = s.table.Get<skype::Skype>(s.shared.SkypeCookie.load());
        if (skypeObject) {
            const auto me = skypeObject->CurrentUser();
            userName = me->FullName();
            if (userName.empty()) {
                userName = me->DisplayName();
            }
            if (userName.empty()) {
                userName = me->Handle();
            }
        }
        const std::u16string message = ToneInfoMessage(
            i18n::GetText(i18n::TXT_TONE_INFO_MESSAGE, s.shared.CurrentLanguage.load()),
            platform::Utf8ToUtf16(userName), ToneLabel(*choice, s.settings, s));

        const ToneFolders folders{s.shared.InstallDirPath.Get(),
                                  s.ownFolder ? s.ownFolder() : std::nullopt};
        const std::string tonePath =
            RingBackTonePath(perContact, entry.value_or(*choice), s.settings, folders, s);
        platform::Trace(perContact ? "%s!!!!!ZZZZZZZZZZZZZZZZZ\n" : "%s!!!!!!!!!!!!!!!!!!!!\n",
                        tonePath.c_str());

        ToneFeeder tone(call, s.clock, tonePath, timings.rearmPoll, timings.statusPoll);
        tone.Feed();
        if (s.shared.FriendMsgEnabled.load()) {
            if (skypeObject) {
                skypeObject->SendMessage(handle, platform::Utf16ToUtf8(message));
            } else {
                platform::Trace("No Skype object: tone message not sent\n");
            }
        }

        // The tone alone first.
        const Millis toneOnlyEnd = s.clock.Now() + timings.toneOnly;
        for (;;) {
            tone.KeepPlaying();
            if (s.clock.Now() >= toneOnlyEnd ||
                !stop.SleepUntil(std::min(tone.NextCheck(), toneOnlyEnd))) {
                break;
            }
        }

        panel = s.panels.Create(PanelRequest{call.Id(), handle, call.PartnerDisplayName(),
                                             [&wakeup] { wakeup.Wake(); }});
        skype::CallStatus status = call.Status();
        platform::Trace("pCall->Status %d............\n", skype::ToInt(status));
        if (!IsCallOver(status) && !stop.Requested()) {
            panel->Show();
            const std::filesystem::path ringTone =
                s.settings.UseDefaultRingTone() || !folders.ownFolder
                    ? platform::ResolveNoCase(folders.installDir, "Ringing.wav")
                    : platform::ResolveNoCase(*folders.ownFolder, "Ringtone.wav");
            s.ringer.Start(ringTone);
            ringing = true;

            const Millis ringStart = s.clock.Now();
            for (;;) {
                tone.KeepPlaying();
                panel->PumpMessages();
                if (panel->Decision() != AnsweringPanel::kUndecided) {
                    break;
                }
                if (IsCallOver(call.Status()) || stop.Requested()) {
                    break;
                }
                const Millis now = s.clock.Now();
                const bool limited = s.settings.VoiceMailOn();
                if (limited && now - ringStart > timings.ringLimit) {
                    break;
                }
                Millis wake =
                    std::min({tone.NextCheck(), now + timings.statusPoll, panel->NextPumpDue()});
                if (limited) {
                    wake = std::min(wake, ringStart + timings.ringLimit + Millis(1));
                }
                wakeup.WaitUntil(wake);
            }
            s.ringer.Stop();
            ringing = false;
        }
        platform::Trace("SHould be end......................\n");

        const int32_t decision = panel->Decision();
        if (decision == AnsweringPanel::kTake) {
            sendGuard.Resume();
            receiveGuard.Resume();
            SetAllDevices(call, DeviceKind::File, "");
            SetAllDevices(call, DeviceKind::SoundCard, "default");
        } else if (decision == AnsweringPanel::kDecline) {
            cancelVideo();
            if (!IsCallOver(call.Status())) {
                call.Finish();
            }
        } else {
            cancelVideo();
            UntakenCall untaken{call, handle, timeStamp, *panel, cancelVideo};
            if (IsCallOver(call.Status())) {
                RecordMissedCall(s, untaken);
            } else if (stop.Requested()) {
                // Nobody will play to the caller any more: the call ends here, as missed.
                RecordMissedCall(s, untaken);
                call.Finish();
            } else {
                AnswerByMachine(s, untaken);
            }
        }

        // A call the user took stays with Skype when the program quits.
        while (!IsCallOver(call.Status()) && stop.SleepFor(timings.endPoll)) {
        }
        platform::Trace("End processing call\n");
        panel.reset();
    } catch (const AutomationError& error) {
        if (ringing) {
            s.ringer.Stop();
        }
        cancelVideo();
        platform::Trace("Incoming-CallHandler exception with HRESULT: %u(%x)\n",
                        error.unsignedCode(), error.unsignedCode());
        result = error.code();
    }
    sendGuard.WaitEnded();
    receiveGuard.WaitEnded();
    return result;
}

void StartCallHandler(CallServices& services, platform::Cookie callCookie) {
    services.workers.Start("call-handler",
                           [&services, callCookie] { CallHandler(services, callCookie).Run(); });
}

}  // namespace velto::calls
