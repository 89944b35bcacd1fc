// Starting the SIP stack: its files, the core and its callbacks, the network, the media
// and the account.
#include <arpa/inet.h>
#include <linphone/core.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "backends/sip/RouteSource.h"
#include "backends/sip/SipEngine.h"
#include "backends/sip/StackAddress.h"
#include "platform/Trace.h"
#include "sipaccount/SipSettingList.h"
#include "sipaccount/TurnServer.h"

#ifndef VELTO_VERSION
#define VELTO_VERSION "0"
#endif

namespace velto::skype::sip {
namespace {

using platform::Trace;

// Where Debian keeps the system's trusted CAs, in one file.
constexpr const char* kSystemCaBundle = "/etc/ssl/certs/ca-certificates.crt";
constexpr std::streamsize kMaxCaFileSize = 4 << 20;

// The stack keeps no database on disk: its sqlite store (chat rooms, call logs) ended the
// whole program with an exception it does not catch when the disk refused a write, and the
// program keeps its own records of calls and messages anyway. (Off altogether, the stack
// crashes at the first chat message.)
constexpr const char* kNoStackDatabase =
    "[storage]\nbackend=sqlite3\nuri=:memory:\ncall_logs_db_uri=null\nzrtp_secrets_db_uri=null\n";

SipEngine& EngineOf(LinphoneCore* core) {
    return *static_cast<SipEngine*>(linphone_core_get_user_data(core));
}

// The stack binds its ports itself and only logs a failure; asking the system first gives
// the user a clear reason (and the backend a reason to try again later).
bool PortFree(const ListenAddress& listen, int type, std::string& error) {
    const int family = listen.Ipv6() ? AF_INET6 : AF_INET;
    const int fd = socket(family, type, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (family == AF_INET6) {
        auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
        address->sin6_family = AF_INET6;
        address->sin6_port = htons(listen.port);
        inet_pton(AF_INET6, listen.address.c_str(), &address->sin6_addr);
        length = sizeof *address;
    } else {
        auto* address = reinterpret_cast<sockaddr_in*>(&storage);
        address->sin_family = AF_INET;
        address->sin_port = htons(listen.port);
        inet_pton(AF_INET, listen.address.c_str(), &address->sin_addr);
        length = sizeof *address;
    }
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0;
    if (!bound) {
        error = std::strerror(errno);
    }
    close(fd);
    return bound;
}

bool AppendFile(std::ostream& out, const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::string text(static_cast<size_t>(kMaxCaFileSize) + 1, '\0');
    in.read(text.data(), kMaxCaFileSize + 1);
    if (in.gcount() > kMaxCaFileSize) {
        error = path + ": larger than " + std::to_string(kMaxCaFileSize >> 20) + " MB";
        return false;
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.find("-----BEGIN CERTIFICATE-----") == std::string::npos) {
        error = path + ": no PEM certificate in it";
        return false;
    }
    out << text << "\n";
    return true;
}

void SetCallbacks(LinphoneCoreCbs* cbs) {
    linphone_core_cbs_set_global_state_changed(
        cbs, [](LinphoneCore* core, LinphoneGlobalState state, const char* message) {
            EngineOf(core).OnGlobalState(state, message);
        });
    linphone_core_cbs_set_account_registration_state_changed(
        cbs, [](LinphoneCore* core, LinphoneAccount* account, LinphoneRegistrationState state,
                const char* message) { EngineOf(core).OnRegistration(account, state, message); });
    linphone_core_cbs_set_call_state_changed(
        cbs, [](LinphoneCore* core, LinphoneCall* call, LinphoneCallState state, const char*) {
            EngineOf(core).OnCallState(call, state);
        });
    linphone_core_cbs_set_call_encryption_changed(
        cbs, [](LinphoneCore* core, LinphoneCall* call, bool_t on, const char* token) {
            EngineOf(core).OnEncryption(call, on != FALSE, token);
        });
    linphone_core_cbs_set_call_log_updated(
        cbs, [](LinphoneCore* core, LinphoneCallLog* log) { EngineOf(core).OnCallLog(log); });
    linphone_core_cbs_set_notify_presence_received(
        cbs, [](LinphoneCore* core, LinphoneFriend* fr) { EngineOf(core).OnPresence(fr); });
    linphone_core_cbs_set_new_subscription_requested(
        cbs, [](LinphoneCore* core, LinphoneFriend* fr, const char*) {
            EngineOf(core).OnSubscriptionRequest(fr);
        });
    linphone_core_cbs_set_message_received(
        cbs, [](LinphoneCore* core, LinphoneChatRoom*, LinphoneChatMessage* message) {
            EngineOf(core).OnMessage(message);
        });
}

// The TURN server of the settings (they were checked when read), if one is set.
std::optional<TurnServer> TurnOf(const SipSettings& s) {
    std::string ignored;
    return s.turn.empty() ? std::nullopt : ParseTurnServer(s.turn, ignored);
}

// The stack takes its TURN allocation from the address its route to the server leaves from,
// but sends the call's sound from the listen address: when the two differ, the relay drops
// every packet of it. Said at start, so the user knows what to change.
void WarnOfTurnRoute(const SipSettings& s, const TurnServer& turn) {
    if (s.listen.address == "0.0.0.0" || s.listen.address == "::") {
        return;
    }
    const auto source = SourceAddressTowards(turn.host, turn.port);
    if (source && !SameAddress(*source, s.listen.address)) {
        Trace(
            "SIP: the TURN server %s is reached from %s, not from the listen address %s: "
            "the relay may drop the call's sound (listen on %s, or on every address)\n",
            turn.HostPort().c_str(), source->c_str(), s.listen.address.c_str(), source->c_str());
    }
}

LinphoneMediaEncryption EncryptionOf(const std::string& name) {
    if (name == "srtp") {
        return LinphoneMediaEncryptionSRTP;
    }
    if (name == "dtls") {
        return LinphoneMediaEncryptionDTLS;
    }
    if (name == "zrtp") {
        return LinphoneMediaEncryptionZRTP;
    }
    return LinphoneMediaEncryptionNone;
}

}  // namespace

bool SipEngine::StartCore(std::string& error, bool& retry) {
    if (!settings_.settings) {
        error = settings_.error + " (see velto-account --help)";
        return false;
    }
    const SipSettings& s = *settings_.settings;
    if (!s.turn.empty()) {
        std::string problem;
        const auto turn = ParseTurnServer(s.turn, problem);
        if (turn && turn->transport == "tls" && !turnOverTls_) {
            problem = kTurnTlsRefused;
        }
        if (!turn || !problem.empty()) {
            error = "Turn \"" + s.turn + "\": " + problem;
            return false;
        }
    }
    std::filesystem::path rc;
    if (!PrepareFiles(s, rc, error, retry) || !CreateCore(rc, error)) {
        return false;
    }
    SetUpNetwork(s);
    SetUpMedia(s);
    if (!SetUpTls(s, error) || !SetUpAccount(s, error)) {
        StopCore();
        return false;
    }
    backend_.SetUser(s.identity.Handle(), s.identity.displayName);
    if (linphone_core_start(core_) != 0) {
        StopCore();
        error = "the SIP stack did not start";
        retry = true;
        return false;
    }
    linphone_core_set_consolidated_presence(core_, LinphoneConsolidatedPresenceOnline);
    if (!s.proxy.empty()) {
        registerDeadline_ = clock_.Now() + registerTimeout_;
    }
    TellRegistering();
    LoadContacts();
    Trace("SIP: listening on %s:%u (UDP, TCP) as %s%s%s\n", s.listen.UriHost().c_str(),
          static_cast<unsigned>(s.listen.port), s.identityText.c_str(),
          s.proxy.empty() ? "" : " via ", s.proxy.c_str());
    return true;
}

bool SipEngine::PrepareFiles(const SipSettings& s, std::filesystem::path& rc, std::string& error,
                             bool& retry) {
    std::error_code fsError;
    if (!std::filesystem::exists(stackGrammar_, fsError)) {
        // Any peer's message would end the program.
        error = "the SIP stack's file " + stackGrammar_.string() +
                " is missing (install linphone-common)";
        return false;
    }
    std::string portError;
    for (const int type : {SOCK_DGRAM, SOCK_STREAM}) {
        if (!PortFree(s.listen, type, portError)) {
            error = std::string(kListenValue) + " " + s.listen.UriHost() + ":" +
                    std::to_string(s.listen.port) + (type == SOCK_DGRAM ? " (UDP): " : " (TCP): ") +
                    portError;
            retry = true;
            return false;
        }
    }
    const std::filesystem::path plugins = dataDir_ / "no-plugins";
    std::filesystem::create_directories(plugins, fsError);
    if (fsError) {
        error = dataDir_.string() + ": " + fsError.message();
        return false;
    }
    std::filesystem::permissions(dataDir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, fsError);
    rc = dataDir_ / "linphonerc";
    std::ofstream out(rc, std::ios::trunc);
    // guess_hostname off: out-of-dialog requests must come from the configured address,
    // or subscribers do not match their friends. RTP binds where SIP does.
    // No tones of the stack's own (the program plays its sounds itself): its tone at a
    // call's end goes to the sound card once a call has been taken there, and crashes
    // inside the stack when that card cannot be opened.
    out << "[sip]\nbind_address=" << s.listen.address << "\nguess_hostname=0\n"
        << "incoming_calls_early_media=0\n"
        << "[rtp]\nbind_address=" << s.listen.address << "\n"
        << "[sound]\ntone_indications=0\n"
        << kNoStackDatabase;
    if (!out) {
        error = rc.string() + ": cannot be written";
        return false;
    }
    return true;
}

bool SipEngine::CreateCore(const std::filesystem::path& rc, std::string& error) {
    // The stack's own log goes to a file beside its state: its complaints on a machine
    // without a sound card are no news for the user. Its TLS complaints are (see OnLog).
    LinphoneLoggingService* log = linphone_logging_service_get();
    linphone_logging_service_set_log_file(log, dataDir_.c_str(), "sip.log", 4 << 20);
    linphone_logging_service_set_log_level(log, LinphoneLogLevelWarning);
    // The stack describes a server's certificate (subject, reasons) in its notes only.
    bctbx_set_log_level("belle-sip", BCTBX_LOG_MESSAGE);
    WatchStackLog();
    LinphoneFactory* factory = linphone_factory_get();
    // The stack glues the file names to these folders without a separator.
    const std::string dir = dataDir_.string() + "/";
    linphone_factory_set_data_dir(factory, dir.c_str());
    linphone_factory_set_config_dir(factory, dir.c_str());
    // An empty plug-in folder: the stack's video plug-in would load a second Qt.
    const std::filesystem::path plugins = dataDir_ / "no-plugins";
    linphone_factory_set_msplugins_dir(factory, plugins.c_str());

    LinphoneCoreCbs* cbs = linphone_factory_create_core_cbs(factory);
    SetCallbacks(cbs);
    core_ = linphone_factory_create_core_3(factory, rc.c_str(), nullptr, nullptr);
    if (core_ == nullptr) {
        linphone_core_cbs_unref(cbs);
        error = "the SIP stack could not be created";
        return false;
    }
    linphone_core_set_user_data(core_, this);
    linphone_core_add_callbacks(core_, cbs);
    linphone_core_cbs_unref(cbs);
    linphone_core_set_user_agent(core_, "Velto", VELTO_VERSION);
    return true;
}

void SipEngine::SetUpNetwork(const SipSettings& s) {
    LinphoneFactory* factory = linphone_factory_get();
    const bool ipv6 = s.listen.Ipv6() || (s.FirstHop() && s.FirstHop()->host[0] == '[');
    linphone_core_enable_ipv6(core_, ipv6 ? TRUE : FALSE);
    // UDP and TCP where calls arrive; TLS only outwards (to the provider): listening for
    // TLS would need a certificate of our own.
    LinphoneTransports* transports = linphone_factory_create_transports(factory);
    linphone_transports_set_udp_port(transports, s.listen.port);
    linphone_transports_set_tcp_port(transports, s.listen.port);
    linphone_transports_set_tls_port(transports, LC_SIP_TRANSPORT_DONTBIND);
    linphone_core_set_transports(core_, transports);
    linphone_transports_unref(transports);
    // GRUU only when asked for: a proxy that cannot route to one loses the caller's ACK
    // and BYE.
    if (!s.gruu) {
        linphone_core_remove_supported_tag(core_, "gruu");
    }

    SipAddress own = s.identity;
    if (s.proxy.empty()) {
        // Direct calls: peers reach us where we listen.
        if (s.listen.address != "0.0.0.0" && s.listen.address != "::") {
            own.host = s.listen.UriHost();
        }
        own.port = s.listen.port;
    }
    std::string contact =
        s.identity.displayName.empty() ? std::string() : "\"" + s.identity.displayName + "\" ";
    contact += "<" + own.Uri() + ">";
    linphone_core_set_primary_contact(core_, contact.c_str());

    const PortRange ports = s.rtpPorts.value_or(kDefaultRtpPorts);
    linphone_core_set_audio_port_range(core_, ports.low, ports.high);
    const auto turn = TurnOf(s);
    if (!s.stun.empty() || s.ice || turn) {
        LinphoneNatPolicy* nat = linphone_core_create_nat_policy(core_);
        // The stack has one server for both: a TURN server answers STUN's questions too,
        // so with one set it is the server. Its port is always written: the stack's own
        // default is STUN's, not TURN over TLS's.
        const std::string server = turn ? turn->HostPort() : s.stun;
        linphone_nat_policy_set_stun_server(nat, server.c_str());
        linphone_nat_policy_enable_stun(nat, server.empty() ? FALSE : TRUE);
        if (turn) {
            // Over TLS the stack checks the server's certificate against the CAs of SetUpTls
            // and its name against the host written here.
            linphone_nat_policy_enable_turn(nat, TRUE);
            linphone_nat_policy_enable_udp_turn_transport(nat, turn->transport == "udp");
            linphone_nat_policy_enable_tcp_turn_transport(nat, turn->transport == "tcp");
            linphone_nat_policy_enable_tls_turn_transport(nat, turn->transport == "tls");
            linphone_nat_policy_set_stun_server_username(nat, s.TurnUser().c_str());
        }
        linphone_nat_policy_enable_ice(nat, s.ice || turn ? TRUE : FALSE);
        linphone_core_set_nat_policy(core_, nat);
        linphone_nat_policy_unref(nat);
        if (turn) {
            Trace("SIP: sound relayed through the TURN server %s over %s as %s%s\n",
                  turn->HostPort().c_str(), turn->TransportName().c_str(), s.TurnUser().c_str(),
                  s.turnPassword.empty() ? " (no TURN password)" : "");
            WarnOfTurnRoute(s, *turn);
        }
    }
}

void SipEngine::SetUpMedia(const SipSettings& s) {
    LinphoneFactory* factory = linphone_factory_get();
    LinphoneVideoActivationPolicy* policy =
        linphone_factory_create_video_activation_policy(factory);
    linphone_video_activation_policy_set_automatically_initiate(policy, FALSE);
    linphone_video_activation_policy_set_automatically_accept(policy, FALSE);
    linphone_core_set_video_activation_policy(core_, policy);
    linphone_video_activation_policy_unref(policy);
    linphone_core_enable_video_capture(core_, FALSE);
    linphone_core_enable_video_display(core_, FALSE);

    // Answering a call would otherwise put the call already answered on hold: every call
    // plays and records files of its own.
    linphone_core_set_media_resource_mode(core_, LinphoneSharedMediaResources);
    linphone_core_enable_echo_cancellation(core_, FALSE);
    linphone_core_set_inc_timeout(core_, 3600);  // the call handler decides how long it rings
    // The program refuses calls over its limit itself (so that it learns of them): the
    // stack's own limit lies above the largest the user may set, so that a limit raised
    // while the stack runs (no restart) is the program's alone.
    linphone_core_set_max_calls(core_, static_cast<int>(2 * kLargestMaxCalls + 10));
    linphone_core_set_use_files(core_, TRUE);
    linphone_core_set_play_file(core_, nullptr);
    linphone_core_set_ring(core_, nullptr);
    linphone_core_set_ringback(core_, nullptr);
    linphone_core_add_content_type_support(core_, kDatagramType);
    EnableCodecs();

    const LinphoneMediaEncryption encryption = EncryptionOf(s.mediaEncryption);
    if (!linphone_core_media_encryption_supported(core_, encryption)) {
        Trace("SIP: media encryption %s is not supported by the SIP stack; calls go without\n",
              s.mediaEncryption.c_str());
    } else {
        linphone_core_set_media_encryption(core_, encryption);
    }
    linphone_core_set_media_encryption_mandatory(core_, s.mediaEncryptionMandatory ? TRUE : FALSE);
}

void SipEngine::EnableCodecs() {
    // The common codecs of providers and phones, plus DTMF; the rest stays as the stack has it.
    static constexpr const char* kWanted[] = {"opus", "G722", "PCMU", "PCMA", "telephone-event"};
    std::string listed;
    bctbx_list_t* types = linphone_core_get_audio_payload_types(core_);
    for (bctbx_list_t* item = types; item != nullptr; item = bctbx_list_next(item)) {
        auto* type = static_cast<LinphonePayloadType*>(bctbx_list_get_data(item));
        const std::string mime = linphone_payload_type_get_mime_type(type);
        for (const char* wanted : kWanted) {
            if (strcasecmp(mime.c_str(), wanted) == 0) {
                linphone_payload_type_enable(type, TRUE);
            }
        }
        if (linphone_payload_type_enabled(type)) {
            listed += " " + mime + "/" + std::to_string(linphone_payload_type_get_clock_rate(type));
        }
    }
    bctbx_list_free_with_data(types,
                              reinterpret_cast<bctbx_list_free_func>(linphone_payload_type_unref));
    linphone_core_set_use_rfc2833_for_dtmf(core_, TRUE);  // telephone-event
    Trace("SIP: codecs:%s telephone-event\n", listed.c_str());
}

bool SipEngine::SetUpTls(const SipSettings& s, std::string& error) {
    // The system's CAs, and the user's private CA beside them: never no verification.
    const std::filesystem::path bundle = dataDir_ / "ca-bundle.pem";
    std::ofstream out(bundle, std::ios::trunc | std::ios::binary);
    std::string ignored;
    AppendFile(out, kSystemCaBundle, ignored);
    if (!s.caFile.empty() && !AppendFile(out, s.caFile, error)) {
        error = "CaFile " + error;
        return false;
    }
    out.close();
    linphone_core_set_root_ca(core_, bundle.c_str());
    linphone_core_verify_server_certificates(core_, TRUE);
    linphone_core_verify_server_cn(core_, TRUE);
    return true;
}

bool SipEngine::SetUpAccount(const SipSettings& s, std::string& error) {
    if (s.proxy.empty()) {
        SetAuth(s);  // the TURN server's user, if any
        return true;
    }
    LinphoneFactory* factory = linphone_factory_get();
    LinphoneAccountParams* params = linphone_core_create_account_params(core_);
    LinphoneAddress* identity = linphone_factory_create_address(factory, s.identityText.c_str());
    // The stack sends every request of the account, REGISTER included, to the server
    // address (its Request-URI names the identity's domain): with an outbound proxy that
    // is where they must go first.
    const std::string& firstHop = s.outboundProxy.empty() ? s.proxy : s.outboundProxy;
    LinphoneAddress* server = linphone_factory_create_address(factory, firstHop.c_str());
    if (identity == nullptr || server == nullptr) {
        error = "the SIP stack refused the Identity, the Proxy or the OutboundProxy";
    } else {
        linphone_account_params_set_identity_address(params, identity);
        linphone_account_params_set_server_address(params, server);
        linphone_account_params_set_outbound_proxy_enabled(params, TRUE);
        linphone_account_params_enable_register(params, TRUE);
        linphone_account_params_set_publish_enabled(params, FALSE);
        linphone_account_params_set_expires(params, static_cast<int>(s.expiry));
        account_ = linphone_core_create_account(core_, params);
        linphone_core_add_account(core_, account_);
        linphone_core_set_default_account(core_, account_);
        linphone_account_unref(account_);
    }
    for (LinphoneAddress* address : {identity, server}) {
        if (address != nullptr) {
            linphone_address_unref(address);
        }
    }
    linphone_account_params_unref(params);
    SetAuth(s);
    return error.empty();
}

void SipEngine::SetAuth(const SipSettings& s) {
    linphone_core_clear_all_auth_info(core_);
    if (!s.password.empty()) {
        LinphoneAuthInfo* auth = linphone_factory_create_auth_info(
            linphone_factory_get(), s.identity.user.c_str(),
            s.authUser.empty() ? nullptr : s.authUser.c_str(), s.password.c_str(), nullptr,
            s.realm.empty() ? nullptr : s.realm.c_str(), s.identity.host.c_str());
        linphone_core_add_auth_info(core_, auth);
        linphone_auth_info_unref(auth);
    }
    const auto turnServer = TurnOf(s);
    if (turnServer && !s.turnPassword.empty()) {
        // The stack looks the TURN user up by name and the realm of the server's challenge;
        // no realm here answers whichever realm the server names.
        LinphoneAuthInfo* turn = linphone_factory_create_auth_info(
            linphone_factory_get(), s.TurnUser().c_str(), nullptr, s.turnPassword.c_str(), nullptr,
            nullptr, turnServer->host.c_str());
        linphone_core_add_auth_info(core_, turn);
        linphone_auth_info_unref(turn);
    }
}

}  // namespace velto::skype::sip
