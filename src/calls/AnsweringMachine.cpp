#include "calls/AnsweringMachine.h"

#include <algorithm>
#include <system_error>

#include "calls/CallEnd.h"
#include "calls/CallTimeText.h"
#include "calls/MessageVoice.h"
#include "calls/MissedCall.h"
#include "calls/PendingMessage.h"
#include "calls/Screening.h"
#include "platform/FileLookup.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

using platform::Millis;
using skype::DeviceKind;

MissedCall NewRecord(const UntakenCall& untaken) {
    MissedCall record;
    record.partnerHandle = untaken.partnerHandle;
    record.time = untaken.timeStamp;
    return record;
}

void LetPanelGo(UntakenCall& untaken) {
    untaken.cancelVideo();
    untaken.panel.Hide();
    untaken.panel.SetDecision(AnsweringPanel::kDecline);
}

// Plays `file` to the caller and waits until it has played or the call is over; true
// when the call is over. The wait sleeps until the call reports a change (the file's end
// among them); whether the file still plays is asked at once (a file that cannot be
// played ends at once, unreported), on its reported end, and now and then to be safe.
bool PlayToCaller(CallServices& services, UntakenCall& untaken, const std::string& file) {
    skype::Call& call = untaken.call;
    call.SetInputDevice(DeviceKind::File, file);
    bool look = true;
    for (;;) {
        if (IsCallOver(call.Status())) {
            platform::Trace("FinishED!!!\n");
            return true;
        }
        if (services.workers.stop().Requested()) {
            // Quitting: the caller is let go rather than left in silence.
            call.Finish();
            return true;
        }
        if (look && !call.InputStillPlaying()) {
            return false;
        }
        const CallEvents events =
            untaken.waiter.WaitUntil(services.clock.Now() + services.timings.statusRecheck);
        look = events.inputEnded() || events.none();
    }
}

// After a pick-up the backend puts what was recorded in place on its own time; a message
// still not there after a status recheck is left to the side file.
void AwaitMessage(CallServices& services, UntakenCall& untaken,
                  const std::filesystem::path& voiceFile) {
    const Millis until = services.clock.Now() + services.timings.statusRecheck;
    while (!MessageInPlace(voiceFile) && services.clock.Now() < until &&
           !services.workers.stop().Requested()) {
        untaken.waiter.WaitUntil(
            std::min(until, services.clock.Now() + services.timings.finishRetry));
    }
}

// Judges the recording so far; true once the caller has been silent for the limit.
bool SilenceEnds(MessageVoice& voice, skype::Call& call, const core::VoiceMailLimits& limits,
                 Millis now) {
    voice.Update(call.RecordingSoFar(), true, now);
    const uint64_t silence = voice.SilenceMs(now);
    if (silence < static_cast<uint64_t>(limits.silenceMs)) {
        return false;
    }
    platform::Trace("Silence for %llu ms: the message ends\n",
                    static_cast<unsigned long long>(silence));
    return true;
}

// The message once the call is over: named by the record when it is in place and holds
// enough voice; one with too little is removed. True when the record is settled (the
// side file may go once it is saved).
bool KeepMessage(MessageVoice& voice, const std::filesystem::path& voiceFile,
                 const core::VoiceMailLimits& limits, MissedCall& record) {
    if (!MessageInPlace(voiceFile)) {
        platform::Trace("No voice message in place at %s\n", voiceFile.c_str());
        return false;
    }
    // A message that cannot be judged is kept rather than lost.
    if (voice.Update(voiceFile, false, Millis(0)) &&
        voice.VoiceMs() < static_cast<uint64_t>(limits.minVoiceMs)) {
        platform::Trace("Only %llu ms of voice: no message kept\n",
                        static_cast<unsigned long long>(voice.VoiceMs()));
        std::error_code error;
        std::filesystem::remove(voiceFile, error);
        return true;
    }
    record.hasVoiceMessage = true;
    record.voiceFile = platform::Utf8ToUtf16(voiceFile.string());
    return true;
}

// Records the caller's message until the caller has been silent for the silence limit,
// for at most the length limit, or until the user picks the call up from the screening
// panel. The record names the message only once the backend
// has put it in place, complete; until then a side file beside it keeps the call, for the
// next start should the program end first. Returns the message whose side file may go
// once the record is saved.
std::optional<std::filesystem::path> RecordMessage(
    CallServices& services, UntakenCall& untaken,
    const std::optional<std::filesystem::path>& ownFolder, MissedCall& record) {
    skype::Call& call = untaken.call;
    const Millis started = services.clock.Now();
    platform::Trace("Start to record!!\n");
    std::optional<std::filesystem::path> voiceFile;
    if (ownFolder) {
        const std::filesystem::path folder = *ownFolder / "VoiceMessage";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            platform::Trace("Cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        }
        voiceFile = VoiceFileName(folder, untaken.partnerHandle, services.clock.WallNow());
        platform::Trace("NAME!!!!!!!!! %s\n", voiceFile->c_str());
    } else {
        platform::Trace("No user folder: the message is not recorded\n");
    }
    call.SetInputDevice(DeviceKind::File, "");
    if (voiceFile) {
        WritePendingNote(*voiceFile, record);
        call.SetOutputDevice(DeviceKind::File, voiceFile->string());
    }
    const CallTimings& timings = services.timings;
    const core::VoiceMailLimits limits = services.settings.VoiceMailLimits();
    const Millis limit = started + Millis(limits.maxLengthMs);
    MessageVoice voice;
    bool silent = false;
    Screening screening(call, untaken.panel, services.listenVoice);
    bool pickedUp = false;
    while (!IsCallOver(call.Status())) {
        if (services.workers.stop().Requested()) {
            // Quitting ends the message early; what was recorded is kept (and named by
            // the record at the next start if it is not in place yet).
            call.Finish();
            break;
        }
        if ((pickedUp = screening.PickedUp() && untaken.pickUp != nullptr)) {
            break;
        }
        const Millis now = services.clock.Now();
        Millis next = std::min(limit + Millis(1), now + timings.silenceCheck);
        silent = silent || (voiceFile && SilenceEnds(voice, call, limits, now));
        if (now > limit || silent) {
            call.Finish();
            next = now + timings.finishRetry;
        }
        untaken.waiter.WaitUntil(std::min(next, screening.NextPumpDue()));
    }
    screening.End(pickedUp);
    if (pickedUp) {
        untaken.pickUp();
        if (voiceFile) {
            AwaitMessage(services, untaken, *voiceFile);
        }
    }
    if (voiceFile && KeepMessage(voice, *voiceFile, limits, record)) {
        return voiceFile;
    }
    return std::nullopt;
}

}  // namespace

void RecordMissedCall(CallServices& services, UntakenCall& untaken) {
    LetPanelGo(untaken);
    services.missedCalls.AddSaveAndFlag(NewRecord(untaken));
}

void AnswerByMachine(CallServices& services, UntakenCall& untaken) {
    untaken.cancelVideo();
    MissedCall record = NewRecord(untaken);
    untaken.panel.Hide();
    untaken.panel.SetDecision(AnsweringPanel::kDecline);

    const std::string installDir = services.shared.InstallDirPath.Get();
    const auto ownFolder = services.ownFolder ? services.ownFolder() : std::nullopt;
    record.busy = untaken.greeting.declined;
    const std::string greeting = CallGreetingPath(
        services.settings,
        GreetingFolders{installDir, ownFolder, services.shared.CurrentLanguage.load()},
        untaken.greeting);
    std::optional<std::filesystem::path> settled;
    if (!PlayToCaller(services, untaken, greeting) &&
        !PlayToCaller(services, untaken,
                      platform::ResolveNoCase(installDir, "DingDong.wav").string())) {
        settled = RecordMessage(services, untaken, ownFolder, record);
    }
    services.missedCalls.AddSaveAndFlag(std::move(record));
    if (settled) {
        RemovePendingNote(*settled);  // the saved record tells what became of the message
    }
}

}  // namespace velto::calls
