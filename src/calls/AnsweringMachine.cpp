#include "calls/AnsweringMachine.h"

#include <algorithm>
#include <system_error>

#include "calls/CallEnd.h"
#include "calls/CallTimeText.h"
#include "calls/MissedCall.h"
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

}  // namespace

std::string GreetingPath(bool useDefaultGreeting, int32_t language, const std::string& installDir,
                         const std::optional<std::filesystem::path>& ownFolder) {
    if (useDefaultGreeting || !ownFolder) {
        const char* name =
            language == 0 || language == 1 ? "DefaultAM_Ch.wav" : "DefaultAM_Eng.wav";
        return platform::ResolveNoCase(installDir, name).string();
    }
    return platform::ResolveNoCase(*ownFolder, "AnswerMachine.wav").string();
}

void RecordMissedCall(CallServices& services, UntakenCall& untaken) {
    LetPanelGo(untaken);
    services.missedCalls.AddSaveAndFlag(NewRecord(untaken));
}

void AnswerByMachine(CallServices& services, UntakenCall& untaken) {
    skype::Call& call = untaken.call;
    untaken.cancelVideo();
    MissedCall record = NewRecord(untaken);
    untaken.panel.Hide();
    untaken.panel.SetDecision(AnsweringPanel::kDecline);

    const std::string installDir = services.shared.InstallDirPath.Get();
    const auto ownFolder = services.ownFolder ? services.ownFolder() : std::nullopt;
    const std::string greeting =
        GreetingPath(services.settings.UseDefaultGreeting(), services.shared.CurrentLanguage.load(),
                     installDir, ownFolder);
    if (!PlayToCaller(services, untaken, greeting) &&
        !PlayToCaller(services, untaken,
                      platform::ResolveNoCase(installDir, "DingDong.wav").string())) {
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
            call.SetOutputDevice(DeviceKind::File, voiceFile->string());
            record.hasVoiceMessage = true;
            record.voiceFile = platform::Utf8ToUtf16(voiceFile->string());
        }
        const CallTimings& timings = services.timings;
        const Millis limit = started + timings.recordLimit;
        while (!IsCallOver(call.Status())) {
            if (services.workers.stop().Requested()) {
                // Quitting ends the message early; what was recorded is kept.
                call.Finish();
                break;
            }
            const Millis now = services.clock.Now();
            Millis next = std::min(limit + Millis(1), now + timings.statusRecheck);
            if (now > limit) {
                call.Finish();
                next = now + timings.finishRetry;
            }
            untaken.waiter.WaitUntil(next);
        }
    }
    services.missedCalls.AddSaveAndFlag(std::move(record));
}

}  // namespace velto::calls
