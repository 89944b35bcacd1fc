// The engine's calls: answering (early media first when enabled), files in and out,
// taking the call on the sound devices, and the end of a call.
#include <linphone/core.h>

#include <system_error>

#include "audio/WavDuration.h"
#include "audio/WavSizes.h"
#include "backends/sip/RecordingFiles.h"
#include "backends/sip/SipEngine.h"
#include "backends/sip/StackAddress.h"
#include "platform/Trace.h"

namespace velto::skype::sip {
namespace {

using platform::Trace;

// How long an early answer waits for the file the caller is to hear.
constexpr platform::Millis kEarlyFileWait{1500};
// How often a recording's header is brought up to date.
constexpr platform::Millis kHeaderInterval{1000};

// What the stack writes a call's recording in: 16-bit mono at the rate the codec decodes
// to (G.722 announces 8000 Hz for its 16000 Hz).
audio::PcmFormat RecordingFormat(LinphoneCall* call) {
    audio::PcmFormat format{8000, 1};
    const LinphonePayloadType* payload =
        linphone_call_params_get_used_audio_payload_type(linphone_call_get_current_params(call));
    if (payload != nullptr) {
        const char* mime = linphone_payload_type_get_mime_type(payload);
        const int rate = linphone_payload_type_get_clock_rate(payload);
        if (mime != nullptr && std::string(mime) == "G722") {
            format.rate = 16000;
        } else if (rate > 0) {
            format.rate = static_cast<uint32_t>(rate);
        }
    }
    return format;
}

}  // namespace

SipEngine::CallContext* SipEngine::Find(int32_t id) {
    for (auto& [call, context] : calls_) {
        if (context.id == id) {
            return &context;
        }
    }
    return nullptr;
}

void SipEngine::OnCallState(_LinphoneCall* call, int state) {
    if (state == LinphoneCallStateIncomingReceived && AtCallLimit()) {
        RefuseBusy(call);
        return;
    }
    if (state == LinphoneCallStateIncomingReceived && LacksMandatoryZrtp(call)) {
        RefuseWithoutZrtp(call);
        return;
    }
    if (state == LinphoneCallStateIncomingReceived) {
        CallContext context;
        context.call = linphone_call_ref(call);
        context.id = ++nextCallId_;
        std::string error;
        if (auto file = CreateRecordingFile(dataDir_, error)) {
            context.recordTemp = *file;
        } else {
            Trace("SIP: call %d cannot be recorded: %s: %s\n", static_cast<int>(context.id),
                  dataDir_.c_str(), error.c_str());
        }
        calls_[call] = context;
        CallState mirror;
        mirror.id = context.id;
        const LinphoneAddress* remote = linphone_call_get_remote_address(call);
        mirror.partnerHandle = HandleOf(remote);
        const char* name = linphone_address_get_display_name(remote);
        mirror.partnerDisplayName = name != nullptr ? name : "";
        mirror.status = CallStatus::Ringing;
        if (const char* callId = linphone_call_log_get_call_id(linphone_call_get_call_log(call))) {
            knownCallIds_.insert(callId);
        }
        Trace("SIP: call %d from %s\n", static_cast<int>(context.id), mirror.partnerHandle.c_str());
        backend_.CallAdded(std::move(mirror));
        return;
    }
    auto found = calls_.find(call);
    if (found == calls_.end()) {
        if (state == LinphoneCallStateOutgoingInit) {
            linphone_call_terminate(call);  // the program places no calls
        }
        return;
    }
    CallContext& context = found->second;
    switch (state) {
        case LinphoneCallStateIncomingEarlyMedia:
            backend_.CallStatusChanged(context.id, CallStatus::EarlyMedia);
            break;
        case LinphoneCallStateConnected:
            context.accepted = true;
            backend_.CallStatusChanged(context.id, CallStatus::InProgress);
            break;
        case LinphoneCallStateStreamsRunning:
            StreamsRunning(context);
            break;
        case LinphoneCallStateUpdatedByRemote:
        case LinphoneCallStateEarlyUpdatedByRemote:
            // The peer's new offer restarts the streams: on files, or on the devices for
            // the call the user took.
            linphone_core_set_use_files(core_, context.taken ? FALSE : TRUE);
            break;
        case LinphoneCallStateError:
        case LinphoneCallStateEnd:
            if (!context.ended) {
                Ended(context);
            }
            break;
        case LinphoneCallStateReleased:
            if (!context.ended) {
                Ended(context);
            }
            linphone_call_unref(context.call);
            calls_.erase(found);
            break;
        default:
            break;
    }
}

void SipEngine::OnEncryption(_LinphoneCall* call, bool on, const char* token) {
    auto found = calls_.find(call);
    if (found == calls_.end()) {
        return;
    }
    const int id = static_cast<int>(found->second.id);
    const LinphoneMediaEncryption encryption =
        linphone_call_params_get_media_encryption(linphone_call_get_current_params(call));
    if (!on) {
        Trace("SIP: call %d sound no longer encrypted\n", id);
    } else if (encryption == LinphoneMediaEncryptionZRTP) {
        // The SAS is what the two users compare by voice to rule out a man in the middle.
        Trace("SIP: call %d sound encrypted with ZRTP (SAS %s)\n", id,
              token != nullptr ? token : "none");
    } else {
        Trace("SIP: call %d sound encrypted with %s\n", id,
              linphone_media_encryption_to_string(encryption));
    }
}

bool SipEngine::LacksMandatoryZrtp(_LinphoneCall* call) const {
    if (linphone_core_get_media_encryption(core_) != LinphoneMediaEncryptionZRTP ||
        !linphone_core_is_media_encryption_mandatory(core_)) {
        return false;
    }
    // A ZRTP caller announces itself with the hash of its first ZRTP message. Without it
    // the call would go on in silence: the stack drops every unencrypted packet, and,
    // unlike SRTP's, refuses no such offer itself.
    return linphone_call_params_get_custom_sdp_media_attribute(
               linphone_call_get_remote_params(call), LinphoneStreamTypeAudio, "zrtp-hash") ==
           nullptr;
}

void SipEngine::RefuseWithoutZrtp(_LinphoneCall* call) {
    CallState mirror = RefusedMirror(call, CallStatus::Ringing);
    const int32_t id = mirror.id;
    Trace("SIP: call %d from %s refused: no ZRTP offered (%s)\n", static_cast<int>(id),
          mirror.partnerHandle.c_str(), kMediaEncryptionMandatoryValue);
    // Its record at the end is this call, already told.
    if (const char* callId = linphone_call_log_get_call_id(linphone_call_get_call_log(call))) {
        knownCallIds_.insert(callId);
    }
    linphone_call_decline(call, LinphoneReasonNotAcceptable);  // 488, as for SRTP
    // A missed call, as for a caller the stack refuses by itself.
    backend_.CallAdded(std::move(mirror));
    backend_.CallStatusChanged(id, CallStatus::Missed);
}

bool SipEngine::AtCallLimit() const {
    size_t on = 0;
    for (const auto& [call, context] : calls_) {
        on += context.ended ? 0 : 1;
    }
    return settings_.settings && on >= settings_.settings->maxCalls;
}

CallState SipEngine::RefusedMirror(_LinphoneCall* call, CallStatus status) {
    CallState mirror;
    mirror.id = ++nextCallId_;
    const LinphoneAddress* remote = linphone_call_get_remote_address(call);
    mirror.partnerHandle = HandleOf(remote);
    const char* name = linphone_address_get_display_name(remote);
    mirror.partnerDisplayName = name != nullptr ? name : "";
    mirror.status = status;
    return mirror;
}

void SipEngine::RefuseBusy(_LinphoneCall* call) {
    CallState mirror = RefusedMirror(call, CallStatus::Busy);
    Trace("SIP: call %d from %s refused: %u calls are on (%s)\n", static_cast<int>(mirror.id),
          mirror.partnerHandle.c_str(), static_cast<unsigned>(settings_.settings->maxCalls),
          kMaxCallsValue);
    linphone_call_decline(call, LinphoneReasonBusy);  // 486
    // Still a call the user hears of: it arrives over, as busy.
    backend_.CallAdded(std::move(mirror));
}

void SipEngine::Answer(int32_t id) {
    CallContext* context = Find(id);
    if (context == nullptr || context->ended || context->answerRequested) {
        return;
    }
    context->answerRequested = true;
    if (settings_.settings && settings_.settings->earlyMedia) {
        // The ring-back goes out as early media once the program names its file.
        context->earlyDeadline = clock_.Now() + kEarlyFileWait;
    } else {
        Accept(*context);
    }
}

void SipEngine::Finish(int32_t id) {
    CallContext* context = Find(id);
    if (context == nullptr || context->ended) {
        return;
    }
    const LinphoneCallState state = linphone_call_get_state(context->call);
    if (!context->accepted && (state == LinphoneCallStateIncomingReceived ||
                               state == LinphoneCallStateIncomingEarlyMedia)) {
        context->declined = true;
        linphone_call_decline(context->call, LinphoneReasonDeclined);  // 603
    } else {
        linphone_call_terminate(context->call);
    }
}

bool SipEngine::ActsOn(Device device, DeviceKind kind, const std::string& text) {
    return kind == DeviceKind::File ? device != Device::CaptureMic
                                    : device == Device::Input && text == "default";
}

void SipEngine::SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text) {
    CallContext* context = Find(id);
    if (context == nullptr || context->ended) {
        return;
    }
    if (device == Device::Input && kind == DeviceKind::File) {
        if (text.empty()) {
            context->pendingInput.reset();
            if (context->accepted) {
                StopPlaying(*context);
            }
            return;
        }
        if (!context->accepted) {
            const bool early = settings_.settings && settings_.settings->earlyMedia;
            if (early && !context->earlyStarted && !PlayFileWouldIntrude(*context)) {
                StartEarlyMedia(*context, text);
                return;
            }
            if (early && text == context->earlyFile) {
                ArmEarlyEnd(*context);  // it plays in a loop already
                return;
            }
            context->pendingInput = text;
            Accept(*context);
            return;
        }
        if (context->streamsRunning) {
            Play(*context, text);
        } else {
            context->pendingInput = text;
        }
    } else if (device == Device::Output && kind == DeviceKind::File) {
        if (text.empty()) {
            FinishRecording(*context);
            return;
        }
        context->recordTarget = text;
        if (!context->accepted) {
            context->recordPending = true;
            Accept(*context);
        } else if (context->streamsRunning) {
            StartRecording(*context);
        } else {
            context->recordPending = true;
        }
    } else if (device == Device::Input && kind == DeviceKind::SoundCard && text == "default") {
        if (context->taken) {
            return;
        }
        context->pendingInput.reset();
        if (!context->accepted) {
            context->takePending = true;
            Accept(*context);
        } else if (context->streamsRunning) {
            Take(*context);
        } else {
            context->takePending = true;
        }
    }
    // The other settings (the sound card cut off, the capture microphone) are how the
    // stack runs a call anyway: files, no devices.
}

void SipEngine::ArmEarlyEnd(CallContext& context) {
    const auto length = audio::WavDurationMs(context.earlyFile);
    if (length && *length > 0) {
        context.earlyEnd = clock_.Now() + platform::Millis(*length);
    }
}

void SipEngine::StartEarlyMedia(CallContext& context, const std::string& file) {
    context.earlyStarted = true;
    context.earlyFile = file;
    ArmEarlyEnd(context);
    // The call player cannot play before the answer; the stack's play file can, and it
    // is read when the early streams start.
    linphone_core_set_use_files(core_, TRUE);
    linphone_core_set_play_file(core_, file.empty() ? nullptr : file.c_str());
    LinphoneCallParams* params = linphone_core_create_call_params(core_, context.call);
    if (!context.recordTemp.empty()) {
        linphone_call_params_set_record_file(params, context.recordTemp.c_str());
    }
    if (linphone_call_accept_early_media_with_params(context.call, params) != 0) {
        Trace("SIP: call %d: early media refused by the stack\n", static_cast<int>(context.id));
    }
    linphone_call_params_unref(params);
}

bool SipEngine::PlayFileWouldIntrude(const CallContext& context) {
    // The stack's "current" call is the one answered last; taken, it plays no file.
    auto found = calls_.find(linphone_core_get_current_call(core_));
    if (found == calls_.end() || &found->second == &context) {
        return false;
    }
    const CallContext& other = found->second;
    return other.streamsRunning && !other.ended && !other.taken;
}

void SipEngine::Accept(CallContext& context) {
    if (context.accepted) {
        return;
    }
    context.accepted = true;
    context.earlyEnd.reset();
    // A call the user took has switched the stack to the sound devices since.
    linphone_core_set_use_files(core_, TRUE);
    if (!context.earlyStarted) {
        linphone_core_set_play_file(core_, nullptr);
    }
    LinphoneCallParams* params = linphone_core_create_call_params(core_, context.call);
    // The recording's name is fixed at the answer: a temporary one, moved into place at
    // the end.
    if (!context.recordTemp.empty()) {
        linphone_call_params_set_record_file(params, context.recordTemp.c_str());
    }
    if (linphone_call_accept_with_params(context.call, params) != 0) {
        Trace("SIP: call %d: the answer was refused by the stack\n", static_cast<int>(context.id));
    }
    linphone_call_params_unref(params);
}

void SipEngine::StreamsRunning(CallContext& context) {
    const bool first = !context.streamsRunning;
    context.streamsRunning = true;
    if (first) {
        backend_.CallStatusChanged(context.id, CallStatus::InProgress);
    }
    if (context.takePending) {
        context.takePending = false;
        Take(context);
        return;
    }
    if (context.pendingInput) {
        const std::string file = *context.pendingInput;
        context.pendingInput.reset();
        Play(context, file);
    }
    if (context.recordPending) {
        context.recordPending = false;
        StartRecording(context);
    }
}

void SipEngine::Play(CallContext& context, const std::string& file) {
    LinphonePlayer* player = linphone_call_get_player(context.call);
    if (player == nullptr) {
        Trace("SIP: call %d: no player\n", static_cast<int>(context.id));
        backend_.InputEnded(context.id);
        return;
    }
    if (!context.playerHooked) {
        context.playerHooked = true;
        LinphonePlayerCbs* cbs = linphone_factory_create_player_cbs(linphone_factory_get());
        linphone_player_cbs_set_user_data(cbs, this);
        linphone_player_cbs_set_eof_reached(cbs, [](LinphonePlayer* p) {
            auto* engine = static_cast<SipEngine*>(
                linphone_player_cbs_get_user_data(linphone_player_get_current_callbacks(p)));
            engine->OnPlayerEnd(p);
        });
        linphone_player_add_callbacks(player, cbs);
        linphone_player_cbs_unref(cbs);
    }
    // The length comes from the file's header (the program knows it): the call player's
    // own duration call crashes.
    linphone_player_close(player);
    context.playing = file;
    if (linphone_player_open(player, file.c_str()) != 0 || linphone_player_start(player) != 0) {
        context.playing.clear();
        Trace("SIP: call %d: %s cannot be played\n", static_cast<int>(context.id), file.c_str());
        backend_.InputEnded(context.id);
    }
}

void SipEngine::StopPlaying(CallContext& context) {
    if (!context.streamsRunning) {
        return;
    }
    context.playing.clear();
    if (LinphonePlayer* player = linphone_call_get_player(context.call)) {
        linphone_player_close(player);
    }
}

void SipEngine::OnPlayerEnd(_LinphonePlayer* player) {
    for (auto& [call, context] : calls_) {
        if (context.streamsRunning && !context.ended && linphone_call_get_player(call) == player) {
            context.playing.clear();
            backend_.InputEnded(context.id);
        }
    }
}

void SipEngine::Take(CallContext& context) {
    StopPlaying(context);
    linphone_core_set_use_files(core_, FALSE);
    const LinphoneAudioDevice* input = linphone_core_get_default_input_audio_device(core_);
    const LinphoneAudioDevice* output = linphone_core_get_default_output_audio_device(core_);
    if (input != nullptr) {
        linphone_call_set_input_audio_device(context.call, const_cast<LinphoneAudioDevice*>(input));
    }
    if (output != nullptr) {
        linphone_call_set_output_audio_device(context.call,
                                              const_cast<LinphoneAudioDevice*>(output));
    }
    context.taken = true;
    // A stream started on files stays on files until it is restarted: a re-INVITE.
    if (linphone_call_update(context.call, nullptr) != 0) {
        Trace("SIP: call %d: the switch to the sound devices failed\n",
              static_cast<int>(context.id));
    }
    Trace("SIP: call %d taken on the sound devices\n", static_cast<int>(context.id));
}

void SipEngine::StartRecording(CallContext& context) {
    if (context.recording || context.recordTarget.empty()) {
        return;
    }
    if (context.recordTemp.empty()) {
        Trace("SIP: call %d: no recording file, the message is not recorded\n",
              static_cast<int>(context.id));
        return;
    }
    context.recordFormat = RecordingFormat(context.call);
    // Written first, so that a crash while recording still leads the message to its place.
    if (std::string why =
            WriteTargetNote(context.recordTemp, {context.recordTarget, context.recordFormat});
        !why.empty()) {
        Trace("SIP: call %d: %s: %s\n", static_cast<int>(context.id),
              TargetNoteOf(context.recordTemp).c_str(), why.c_str());
    }
    // The call's recording holds both directions: the program has stopped playing first.
    StopPlaying(context);
    linphone_call_start_recording(context.call);
    context.recording = true;
    context.nextHeader = clock_.Now() + kHeaderInterval;
    backend_.RecordingChanged(context.id, context.recordTemp.string());
}

void SipEngine::RefreshRecordingHeader(CallContext& context) {
    context.nextHeader = clock_.Now() + kHeaderInterval;
    // Until the stack closes the file, its header is blank: written here, the recording
    // is a readable WAV file at any moment, whatever ends the program.
    std::error_code error;
    if (std::filesystem::file_size(context.recordTemp, error) >= 44 && !error) {
        audio::WriteWavHeader(context.recordTemp, context.recordFormat);
    }
}

void SipEngine::FinishRecording(CallContext& context) {
    if (!context.recording) {
        return;
    }
    context.recording = false;
    backend_.RecordingChanged(context.id, "");
    linphone_call_stop_recording(context.call);
    const int id = static_cast<int>(context.id);
    if (std::string why = audio::FixWavSizes(context.recordTemp); !why.empty()) {
        Trace("SIP: call %d: nothing usable was recorded: %s\n", id, why.c_str());
    } else if (std::string failed = PlaceRecording(context.recordTemp, context.recordTarget);
               !failed.empty()) {
        // Kept with its side file: the next start tries again.
        Trace("SIP: the recording could not be moved to %s: %s (kept as %s)\n",
              context.recordTarget.c_str(), failed.c_str(), context.recordTemp.c_str());
        context.recordKept = true;
    }
    context.recordTarget.clear();
}

void SipEngine::Ended(CallContext& context) {
    context.ended = true;
    FinishRecording(context);
    if (!context.recordKept && !context.recordTemp.empty()) {
        RemoveRecording(context.recordTemp);
    }
    const CallStatus status = context.accepted   ? CallStatus::Finished
                              : context.declined ? CallStatus::Refused
                                                 : CallStatus::Missed;
    Trace("SIP: call %d ended (%d)\n", static_cast<int>(context.id), ToInt(status));
    backend_.CallStatusChanged(context.id, status);
}

void SipEngine::OnCallLog(_LinphoneCallLog* log) {
    const char* callId = linphone_call_log_get_call_id(log);
    if (callId != nullptr && knownCallIds_.erase(callId) != 0) {
        return;
    }
    if (linphone_call_log_get_dir(log) != LinphoneCallIncoming) {
        return;
    }
    CallState mirror;
    mirror.id = ++nextCallId_;
    mirror.partnerHandle = HandleOf(linphone_call_log_get_from_address(log));
    std::string reason = "refused";
    if (const LinphoneErrorInfo* info = linphone_call_log_get_error_info(log)) {
        const char* phrase = linphone_error_info_get_phrase(info);
        reason = std::to_string(linphone_error_info_get_protocol_code(info)) + " " +
                 (phrase != nullptr ? phrase : "");
    }
    Trace("SIP: call %d from %s refused by the SIP stack: %s\n", static_cast<int>(mirror.id),
          mirror.partnerHandle.c_str(), reason.c_str());
    // The program keeps a missed call for it, as for any call nobody took.
    backend_.CallAdded(std::move(mirror));
    backend_.CallStatusChanged(nextCallId_, CallStatus::Missed);
}

}  // namespace velto::skype::sip
