#include "LinphoneCaller.h"

#include <linphone/core.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "support/TempDir.h"

namespace velto::test {
namespace {

constexpr size_t kWavHeader = 44;

// As velto's own stack: no database, no tones of the stack's own.
std::string CallerConfig(const std::string& address) {
    return "[sip]\nbind_address=" + address + "\nguess_hostname=0\n[rtp]\nbind_address=" + address +
           "\n[sound]\ntone_indications=0\n[storage]\nbackend=sqlite3\nuri=:memory:\n"
           "call_logs_db_uri=null\nzrtp_secrets_db_uri=null\n";
}

}  // namespace

LinphoneCaller::LinphoneCaller(std::filesystem::path folder, const std::string& address,
                               const std::filesystem::path& voice)
    : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    LinphoneFactory* factory = linphone_factory_get();
    LinphoneConfig* config =
        linphone_factory_create_config_from_string(factory, CallerConfig(address).c_str());
    core_ = linphone_factory_create_core_with_config_3(factory, config, nullptr);
    linphone_config_unref(config);
    linphone_core_enable_ipv6(core_, FALSE);
    LinphoneTransports* transports = linphone_factory_create_transports(factory);
    linphone_transports_set_udp_port(transports, 5060);
    linphone_transports_set_tcp_port(transports, LC_SIP_TRANSPORT_DONTBIND);
    linphone_transports_set_tls_port(transports, LC_SIP_TRANSPORT_DONTBIND);
    linphone_core_set_transports(core_, transports);
    linphone_transports_unref(transports);
    linphone_core_set_primary_contact(core_, ("<sip:alice@" + address + ">").c_str());
    linphone_core_enable_video_capture(core_, FALSE);
    linphone_core_enable_video_display(core_, FALSE);
    linphone_core_enable_echo_cancellation(core_, FALSE);
    linphone_core_set_use_files(core_, TRUE);
    linphone_core_set_play_file(core_, voice.c_str());
    linphone_core_set_record_file(core_, (folder_ / "heard.wav").c_str());
    linphone_core_set_ring(core_, nullptr);
    linphone_core_set_ringback(core_, nullptr);
    linphone_core_start(core_);
}

LinphoneCaller::~LinphoneCaller() {
    if (call_ != nullptr) {
        HangUp();
        // The stack lets go of a call's signalling only once the call is released; a core
        // stopped before that leaves it behind (LeakSanitizer saw it, one run in two). The
        // stack has no wait of its own: it is turned until then, for at most three seconds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (linphone_call_get_state(call_) != LinphoneCallStateReleased &&
               std::chrono::steady_clock::now() < deadline) {
            linphone_core_iterate(core_);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        linphone_call_unref(call_);
    }
    linphone_core_stop(core_);
    linphone_core_unref(core_);
}

void LinphoneCaller::UseZrtp() {
    zrtp_ = true;
}

bool LinphoneCaller::Call(const std::string& target) {
    LinphoneCallParams* params = linphone_core_create_call_params(core_, nullptr);
    linphone_call_params_set_media_encryption(
        params, zrtp_ ? LinphoneMediaEncryptionZRTP : LinphoneMediaEncryptionNone);
    started_ = std::chrono::steady_clock::now();
    call_ = linphone_core_invite_with_params(core_, target.c_str(), params);
    linphone_call_params_unref(params);
    if (call_ != nullptr) {
        linphone_call_ref(call_);
    }
    return call_ != nullptr;
}

void LinphoneCaller::HangUp() {
    if (call_ != nullptr && !Ended()) {
        linphone_call_terminate(call_);
    }
}

void LinphoneCaller::Iterate() {
    linphone_core_iterate(core_);
}

bool LinphoneCaller::Ended() const {
    if (call_ == nullptr) {
        return true;
    }
    const LinphoneCallState state = linphone_call_get_state(call_);
    return state == LinphoneCallStateEnd || state == LinphoneCallStateError ||
           state == LinphoneCallStateReleased;
}

int LinphoneCaller::MediaEncryption() const {
    if (call_ == nullptr) {
        return LinphoneMediaEncryptionNone;
    }
    return linphone_call_params_get_media_encryption(linphone_call_get_current_params(call_));
}

std::string LinphoneCaller::Sas() const {
    const char* token = call_ != nullptr ? linphone_call_get_authentication_token(call_) : nullptr;
    return token != nullptr ? token : "";
}

int LinphoneCaller::ProtocolCode() const {
    const LinphoneErrorInfo* info =
        call_ != nullptr ? linphone_call_get_error_info(call_) : nullptr;
    return info != nullptr ? linphone_error_info_get_protocol_code(info) : 0;
}

std::optional<Pcm> LinphoneCaller::Heard() const {
    const auto path = folder_ / "heard.wav";
    if (auto pcm = ReadPcm(path)) {
        return pcm;
    }
    // Until the stack closes the file its header is blank: 16-bit mono at the rate the
    // codec decodes to (G.722 announces 8000 Hz for its 16000 Hz).
    const LinphonePayloadType* payload = call_ != nullptr
                                             ? linphone_call_params_get_used_audio_payload_type(
                                                   linphone_call_get_current_params(call_))
                                             : nullptr;
    const std::string bytes = ReadFileBytes(path);
    if (payload == nullptr || bytes.size() < kWavHeader) {
        return std::nullopt;
    }
    Pcm pcm;
    pcm.rate = std::string(linphone_payload_type_get_mime_type(payload)) == "G722"
                   ? 16000
                   : linphone_payload_type_get_clock_rate(payload);
    pcm.samples.resize((bytes.size() - kWavHeader) / 2);
    std::memcpy(pcm.samples.data(), bytes.data() + kWavHeader, pcm.samples.size() * 2);
    return pcm;
}

}  // namespace velto::test
