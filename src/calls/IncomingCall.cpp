#include "calls/IncomingCall.h"

#include <algorithm>

#include "callapi/AutomationError.h"
#include "calls/AnsweringMachine.h"
#include "calls/CallEnd.h"
#include "i18n/LanguageTable.h"
#include "platform/FileLookup.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {

using platform::Millis;
using skype::AutomationError;
using skype::DeviceKind;
using skype::DeviceSettings;

IncomingCall::IncomingCall(CallServices& services, skype::Call& call, VideoGuards& video,
                           const std::string& timeStamp, IncomingProgress& progress)
    : s_(services),
      call_(call),
      video_(video),
      timeStamp_(timeStamp),
      progress_(progress),
      stop_(services.workers.stop()),
      waiter_(services.clock, call),
      wakeOnStop_(stop_.OnStop([this] { waiter_.Wake(); })) {}

void IncomingCall::Run() {
    if (!ApplyRules()) {
        return;
    }
    Answer();
    StartTone();
    Phase phase = Phase::ToneOnly;
    while (phase != Phase::Ended) {
        phase = Step(phase);
    }
}

IncomingCall::Phase IncomingCall::Step(Phase phase) {
    switch (phase) {
        case Phase::ToneOnly:
            return ToneOnly();
        case Phase::Ringing:
            return Ringing();
        case Phase::Decided:
            return Decided();
        case Phase::Taken:
            HandOver();
            return Phase::Ending;
        case Phase::Declined:
            return Declined();
        case Phase::Missed:
        case Phase::Quitting:
        case Phase::Machine:
            return Untaken(phase);
        case Phase::Ending:
            return Ending();
        case Phase::Ended:
            break;
    }
    return Phase::Ended;
}

// The first rule that holds for the call decides what follows; a rule that refuses the
// call ends it before it is answered, as a missed call.
bool IncomingCall::ApplyRules() {
    progress_.handle = call_.PartnerHandle();
    // A user folder that cannot be read means no rules; the call meets the fault again
    // after it is answered, where it is handled as before.
    std::optional<std::filesystem::path> ownFolder;
    try {
        ownFolder = s_.ownFolder ? s_.ownFolder() : std::nullopt;
    } catch (const std::exception& error) {
        platform::Trace("Rules: the user's folder cannot be read: %s\n", error.what());
    }
    const auto skypeObject = s_.table.Get<skype::Skype>(s_.shared.SkypeCookie.load());
    rule_ = calls::DecideByRules(s_, skypeObject.get(), progress_.handle, ownFolder);
    if (rule_.Decided() && s_.ruleDecided) {
        s_.ruleDecided(call_.Id(), rule_.name);
    }
    if (!rule_.then.refuse) {
        return true;
    }
    platform::Trace("Rules: the call from %s is refused (busy)\n", progress_.handle.c_str());
    call_.Finish();
    MissedCall record;
    record.partnerHandle = progress_.handle;
    record.time = timeStamp_;
    record.busy = true;
    s_.missedCalls.AddSaveAndFlag(std::move(record));
    progress_.settled = true;
    return false;
}

std::string IncomingCall::RuleTonePath(const rules::ToneChoice& tone) const {
    switch (tone.kind) {
        case rules::ToneChoice::Kind::Silence:
            return platform::ResolveNoCase(folders_.installDir, "Silence.wav").string();
        case rules::ToneChoice::Kind::Item:
            if (const auto item = s_.settings.FindTone(tone.item)) {
                return platform::Utf16ToUtf8(item->path);
            }
            break;  // gone since the rule was chosen: the standard tone
        case rules::ToneChoice::Kind::Standard:
            break;
    }
    return StandardTonePath(s_.settings, folders_, s_);
}

std::optional<std::u16string> IncomingCall::RuleToneLabel(const rules::ToneChoice& tone) const {
    const core::RingBackChoice choice = tone.kind == rules::ToneChoice::Kind::Item
                                            ? core::RingBackChoice{kModeFirstItem, tone.item, -1}
                                            : core::RingBackChoice{kModeStandard, -1, -1};
    return ToneLabel(choice, s_.settings, s_);
}

// The computer's devices are cut off before the call is answered, so that the caller
// never hears the room.
void IncomingCall::Answer() {
    call_.SetDevices(DeviceSettings::All(DeviceKind::SoundCard, ""));
    video_.StartIfVideo(call_);
    try {
        call_.Answer();
    } catch (const AutomationError&) {
        platform::Trace(
            "Did you enable auto answering??? Not sure how to do it, just ignore it....");
    }
}

void IncomingCall::StartTone() {
    const std::string& handle = progress_.handle = call_.PartnerHandle();
    const auto entry = s_.settings.FindRingBack(handle);
    const bool perContact = entry && entry->mode != kModeAd;
    if (perContact) {
        platform::Trace("USE RINGTONE!!!!\n");
    }
    // The chat message; a contact seen for the first time gets the standard tone.
    auto choice = s_.settings.FindRingBack(handle);
    if (!choice) {
        choice = core::RingBackChoice{kModeStandard, -1, -1};
        s_.settings.SetRingBack(handle, *choice);
    }
    const auto skypeObject = s_.table.Get<skype::Skype>(s_.shared.SkypeCookie.load());
    folders_ =
        ToneFolders{s_.shared.InstallDirPath.Get(), s_.ownFolder ? s_.ownFolder() : std::nullopt};
    const auto& ruleTone = rule_.then.tone;
    const std::u16string message =
        ToneMessage(ruleTone ? RuleToneLabel(*ruleTone) : ToneLabel(*choice, s_.settings, s_),
                    skypeObject.get());
    const std::string tonePath =
        ruleTone ? RuleTonePath(*ruleTone)
                 : RingBackTonePath(perContact, entry.value_or(*choice), s_.settings, folders_, s_);
    platform::Trace(perContact ? "%s!!!!!ZZZZZZZZZZZZZZZZZ\n" : "%s!!!!!!!!!!!!!!!!!!!!\n",
                    tonePath.c_str());

    tone_.emplace(call_, s_.clock, tonePath, s_.timings.toneRetry);
    // Straight to the machine: the greeting is the first thing the caller hears.
    if (rule_.then.ringSeconds != 0) {
        tone_->Feed();
    }
    // Silence is not a tone to tell the caller of.
    const bool silent = ruleTone && ruleTone->kind == rules::ToneChoice::Kind::Silence;
    if (s_.shared.FriendMsgEnabled.load() && !silent) {
        if (skypeObject) {
            skypeObject->SendMessage(handle, platform::Utf16ToUtf8(message));
        } else {
            platform::Trace("No Skype object: tone message not sent\n");
        }
    }
}

// The user's name is the full name, else the display name, else the handle.
std::u16string IncomingCall::ToneMessage(const std::optional<std::u16string>& label,
                                         skype::Skype* skype) {
    std::string userName = s_.shared.MyHandle.Get();
    if (skype != nullptr) {
        const auto me = skype->CurrentUser();
        userName = me->FullName();
        if (userName.empty()) {
            userName = me->DisplayName();
        }
        if (userName.empty()) {
            userName = me->Handle();
        }
    }
    return ToneInfoMessage(
        i18n::GetText(i18n::TXT_TONE_INFO_MESSAGE, s_.shared.CurrentLanguage.load()),
        platform::Utf8ToUtf16(userName), label);
}

void IncomingCall::KeepTone(const CallEvents& events, bool look) {
    if (look || events.inputEnded() || s_.clock.Now() >= tone_->RetryDue()) {
        tone_->KeepPlaying();
    }
}

void IncomingCall::GuardVideo(const CallEvents& events) {
    if (events.videoChanged()) {
        video_.StartIfVideo(call_);
    }
}

// The tone alone first; video the caller adds meanwhile is stopped at once. The call's
// end is looked at only after this phase.
IncomingCall::Phase IncomingCall::ToneOnly() {
    const bool straightToMachine = rule_.then.ringSeconds == 0;
    const Millis end = s_.clock.Now() + (straightToMachine ? Millis(0) : s_.timings.toneOnly);
    while (s_.clock.Now() < end && !stop_.Requested()) {
        const CallEvents events = waiter_.WaitUntil(std::min(tone_->RetryDue(), end));
        KeepTone(events);
        GuardVideo(events);
    }
    panel_ = s_.panels.Create(PanelRequest{call_.Id(), progress_.handle, call_.PartnerDisplayName(),
                                           [this] { waiter_.Wake(); }});
    const skype::CallStatus status = call_.Status();
    platform::Trace("pCall->Status %d............\n", skype::ToInt(status));
    return IsCallOver(status) || stop_.Requested() || straightToMachine ? Phase::Decided
                                                                        : Phase::Ringing;
}

// The panel rings until the user decides, the caller hangs up, the program quits or,
// with voice mail on, the ring time runs out. The status is read when the call reports a
// change, and at a look to be safe (then the tone is looked at too): on each of the tone's
// ends, and at least every status recheck.
IncomingCall::Phase IncomingCall::Ringing() {
    panel_->Show();
    // A rule may show the panel without ringing.
    if (rule_.then.ring.value_or(true)) {
        s_.ringer.Start(RingTonePath());
        progress_.ringing = true;
    }

    const CallTimings& timings = s_.timings;
    const Millis ringStart = s_.clock.Now();
    Millis lookAt = ringStart + timings.statusRecheck;
    CallEvents events;
    for (;;) {
        // A wake-up for the tone's end doubles as the look, which then waits longer.
        const bool look = s_.clock.Now() >= lookAt || events.inputEnded();
        KeepTone(events, look);
        panel_->PumpMessages();
        if (panel_->Decision() != AnsweringPanel::kUndecided) {
            break;
        }
        if ((events.statusChanged() || look) && IsCallOver(call_.Status())) {
            break;
        }
        if (stop_.Requested()) {
            break;
        }
        GuardVideo(events);
        const Millis now = s_.clock.Now();
        if (look) {
            lookAt = now + timings.statusRecheck;
        }
        const std::optional<Millis> limit = RingLimit();
        if (limit && now - ringStart > *limit) {
            break;
        }
        Millis wake = std::min({lookAt, tone_->RetryDue(), panel_->NextPumpDue()});
        if (limit) {
            wake = std::min(wake, ringStart + *limit + Millis(1));
        }
        events = waiter_.WaitUntil(wake);
    }
    if (progress_.ringing) {
        s_.ringer.Stop();
        progress_.ringing = false;
    }
    return Phase::Decided;
}

std::filesystem::path IncomingCall::RingTonePath() const {
    const auto& chosen = rule_.then.ringTone;
    if (chosen && *chosen != "default" && folders_.ownFolder) {
        return platform::ResolveNoCase(*folders_.ownFolder, *chosen);
    }
    return s_.settings.UseDefaultRingTone() || !folders_.ownFolder
               ? platform::ResolveNoCase(folders_.installDir, "Ringing.wav")
               : platform::ResolveNoCase(*folders_.ownFolder, "Ringtone.wav");
}

// The ring time before the machine: a rule's (which starts the machine even with voice
// mail off), else the voice-mail setting's; nothing: the panel rings until someone acts.
std::optional<Millis> IncomingCall::RingLimit() const {
    if (rule_.then.ringSeconds) {
        return Millis(int64_t{*rule_.then.ringSeconds} * 1000);
    }
    if (s_.settings.VoiceMailOn()) {
        return s_.timings.ringLimit;
    }
    return std::nullopt;
}

IncomingCall::Phase IncomingCall::Decided() {
    platform::Trace("SHould be end......................\n");
    const int32_t decision = panel_->Decision();
    if (decision == AnsweringPanel::kTake || decision == AnsweringPanel::kDecline) {
        progress_.settled = true;
        return decision == AnsweringPanel::kTake ? Phase::Taken : Phase::Declined;
    }
    video_.Cancel();
    if (IsCallOver(call_.Status())) {
        return Phase::Missed;
    }
    return stop_.Requested() ? Phase::Quitting : Phase::Machine;
}

// The call goes to the user's sound devices, its video back on; files in and out end.
void IncomingCall::HandOver() {
    video_.Resume();
    call_.SetDevices(DeviceSettings::All(DeviceKind::File, ""));
    call_.SetDevices(DeviceSettings::All(DeviceKind::SoundCard, "default"));
}

// Declined with a busy greeting set, the caller is answered by the machine with it; without
// one the call ends.
IncomingCall::Phase IncomingCall::Declined() {
    video_.Cancel();
    if (IsCallOver(call_.Status())) {
        return Phase::Ending;
    }
    if (!stop_.Requested() && s_.settings.BusyGreeting()) {
        platform::Trace("Declined: the busy greeting for %s\n", progress_.handle.c_str());
        return Untaken(Phase::Machine, true);
    }
    call_.Finish();
    return Phase::Ending;
}

IncomingCall::Phase IncomingCall::Untaken(Phase phase, bool declined) {
    UntakenCall untaken{call_,  progress_.handle, timeStamp_, *panel_, [this] { video_.Cancel(); },
                        waiter_};
    untaken.pickUp = [this] {
        platform::Trace("Picked up while the caller left a message\n");
        HandOver();
    };
    untaken.greeting.rule = rule_.then.greeting;
    untaken.greeting.handle = progress_.handle;
    untaken.greeting.declined = declined;
    if (phase == Phase::Machine) {
        AnswerByMachine(s_, untaken);
    } else {
        RecordMissedCall(s_, untaken);
        if (phase == Phase::Quitting) {
            // Nobody will play to the caller any more: the call ends here, as missed.
            call_.Finish();
        }
    }
    progress_.settled = true;
    return Phase::Ending;
}

// A call the user took stays with Skype when the program quits.
IncomingCall::Phase IncomingCall::Ending() {
    while (!IsCallOver(call_.Status()) && !stop_.Requested()) {
        waiter_.WaitUntil(s_.clock.Now() + s_.timings.statusRecheck);
    }
    platform::Trace("End processing call\n");
    panel_.reset();
    return Phase::Ended;
}

}  // namespace velto::calls
