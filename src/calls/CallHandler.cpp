#include "calls/CallHandler.h"

#include <algorithm>

#include "callapi/Skype.h"
#include "calls/AnsweringMachine.h"
#include "calls/CallEnd.h"
#include "calls/CallTimeText.h"
#include "calls/CallWaiter.h"
#include "calls/MissedCall.h"
#include "calls/RingBackTone.h"
#include "calls/ToneFeeder.h"
#include "calls/VideoGuards.h"
#include "i18n/LanguageTable.h"
#include "platform/FileLookup.h"
#include "platform/StopSignal.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

using platform::Millis;
using skype::AutomationError;
using skype::DeviceKind;

void SetAllDevices(skype::Call& call, DeviceKind kind, const std::string& text) {
    call.SetInputDevice(kind, text);
    call.SetOutputDevice(kind, text);
    call.SetCaptureMicDevice(kind, text);
}

// After an unexpected error: the call is hung up and recorded as missed, each step on its
// own so that one failing does not skip the other.
void LetCallGo(CallServices& s, skype::Call& call, const std::string& handle,
               const std::string& timeStamp) {
    try {
        if (!IsCallOver(call.Status())) {
            call.Finish();
        }
    } catch (const std::exception& error) {
        platform::Trace("Incoming-CallHandler: cannot hang up: %s\n", error.what());
    }
    try {
        MissedCall record;
        record.partnerHandle = handle.empty() ? call.PartnerHandle() : handle;
        record.time = timeStamp;
        s.missedCalls.AddSaveAndFlag(std::move(record));
    } catch (const std::exception& error) {
        platform::Trace("Incoming-CallHandler: cannot record the missed call: %s\n", error.what());
    }
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
    VideoGuards video(s, cookie_);
    const auto cancelVideo = [&] { video.Cancel(); };
    bool ringing = false;
    bool settled = false;  // handed to the user, declined, or recorded as missed
    std::string handle;
    skype::ResultCode result = 0;

    try {
        // Every wait of this call sleeps until the call signals a change, the panel's
        // decision wakes it, or a moment it knows of comes.
        CallWaiter waiter(s.clock, call);
        // Quitting wakes every wait of the call, which then lets the call go.
        platform::StopSignal& stop = s.workers.stop();
        const auto wakeOnStop = stop.OnStop([&waiter] { waiter.Wake(); });
        std::unique_ptr<AnsweringPanel> panel;  // after the waiter, which it wakes
        SetAllDevices(call, DeviceKind::SoundCard, "");
        video.StartIfVideo(call);
        try {
            call.Answer();
        } catch (const AutomationError&) {
            platform::Trace(
                "Did you enable auto answering??? Not sure how to do it, just ignore it....");
        }

        handle = call.PartnerHandle();
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

        ToneFeeder tone(call, s.clock, tonePath, timings.rearmLead, timings.rearmPoll,
                        timings.unknownTonePoll);
        tone.Feed();
        if (s.shared.FriendMsgEnabled.load()) {
            if (skypeObject) {
                skypeObject->SendMessage(handle, platform::Utf16ToUtf8(message));
            } else {
                platform::Trace("No Skype object: tone message not sent\n");
            }
        }

        // The tone alone first. Video the caller adds meanwhile is stopped at once.
        const Millis toneOnlyEnd = s.clock.Now() + timings.toneOnly;
        for (;;) {
            tone.KeepPlaying();
            if (s.clock.Now() >= toneOnlyEnd || stop.Requested()) {
                break;
            }
            waiter.WaitUntil(std::min(tone.NextCheck(), toneOnlyEnd));
            video.StartIfVideo(call);
        }

        panel = s.panels.Create(PanelRequest{call.Id(), handle, call.PartnerDisplayName(),
                                             [&waiter] { waiter.Wake(); }});
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
                video.StartIfVideo(call);
                const Millis now = s.clock.Now();
                const bool limited = s.settings.VoiceMailOn();
                if (limited && now - ringStart > timings.ringLimit) {
                    break;
                }
                Millis wake =
                    std::min({tone.NextCheck(), now + timings.statusRecheck, panel->NextPumpDue()});
                if (limited) {
                    wake = std::min(wake, ringStart + timings.ringLimit + Millis(1));
                }
                waiter.WaitUntil(wake);
            }
            s.ringer.Stop();
            ringing = false;
        }
        platform::Trace("SHould be end......................\n");

        const int32_t decision = panel->Decision();
        settled = decision == AnsweringPanel::kTake || decision == AnsweringPanel::kDecline;
        if (decision == AnsweringPanel::kTake) {
            video.Resume();
            SetAllDevices(call, DeviceKind::File, "");
            SetAllDevices(call, DeviceKind::SoundCard, "default");
        } else if (decision == AnsweringPanel::kDecline) {
            cancelVideo();
            if (!IsCallOver(call.Status())) {
                call.Finish();
            }
        } else {
            cancelVideo();
            UntakenCall untaken{call, handle, timeStamp, *panel, cancelVideo, waiter};
            if (IsCallOver(call.Status())) {
                RecordMissedCall(s, untaken);
            } else if (stop.Requested()) {
                // Nobody will play to the caller any more: the call ends here, as missed.
                RecordMissedCall(s, untaken);
                call.Finish();
            } else {
                AnswerByMachine(s, untaken);
            }
            settled = true;
        }

        // A call the user took stays with Skype when the program quits.
        while (!IsCallOver(call.Status()) && !stop.Requested()) {
            waiter.WaitUntil(s.clock.Now() + timings.statusRecheck);
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
    } catch (const std::exception& error) {
        // Anything else (a file-system fault, memory) ends the handling, not the call's
        // bookkeeping: the caller is let go and the user still learns of the call.
        platform::Trace("Incoming-CallHandler: ended by an unexpected error: %s\n", error.what());
        if (ringing) {
            s.ringer.Stop();
        }
        cancelVideo();
        if (!settled) {
            LetCallGo(s, call, handle, timeStamp);
        }
    }
    video.WaitEnded();
    return result;
}

void StartCallHandler(CallServices& services, platform::Cookie callCookie) {
    services.workers.Start("call-handler",
                           [&services, callCookie] { CallHandler(services, callCookie).Run(); });
}

}  // namespace velto::calls
