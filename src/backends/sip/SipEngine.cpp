#include "backends/sip/SipEngine.h"

#include <arpa/inet.h>
#include <linphone/core.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "backends/sip/ContactFile.h"
#include "backends/sip/StackSocket.h"
#include "platform/Trace.h"

namespace velto::skype::sip {
namespace {

using platform::Trace;

constexpr const char* kDatagramType = "application/x-velto-app";

SipEngine& EngineOf(LinphoneCore* core) {
    return *static_cast<SipEngine*>(linphone_core_get_user_data(core));
}

std::string HandleOf(const LinphoneAddress* address) {
    if (address == nullptr) {
        return {};
    }
    const char* user = linphone_address_get_username(address);
    const char* domain = linphone_address_get_domain(address);
    std::string handle = domain != nullptr ? domain : "";
    if (user != nullptr && *user != '\0') {
        handle = std::string(user) + "@" + handle;
    }
    return handle;
}

OnlineStatus StatusOf(LinphoneConsolidatedPresence presence) {
    switch (presence) {
        case LinphoneConsolidatedPresenceOnline:
            return OnlineStatus::Online;
        case LinphoneConsolidatedPresenceBusy:
            return OnlineStatus::NotAvailable;
        case LinphoneConsolidatedPresenceDoNotDisturb:
            return OnlineStatus::DoNotDisturb;
        case LinphoneConsolidatedPresenceOffline:
            return OnlineStatus::Offline;
    }
    return OnlineStatus::Unknown;
}

// The stack binds its port itself and only logs a failure; asking the system first gives
// the user a clear reason (and the backend a reason to try again later).
bool PortFree(const ListenAddress& listen, std::string& error) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(listen.port);
    inet_pton(AF_INET, listen.address.c_str(), &address.sin_addr);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!bound) {
        error = std::strerror(errno);
    }
    close(fd);
    return bound;
}

}  // namespace

SipEngine::SipEngine(SipBackend& backend, const SipBackendOptions& options)
    : backend_(backend),
      clock_(options.clock),
      settings_(options.settings),
      contactsFile_(options.contactsFile),
      dataDir_(options.dataDir),
      callInterval_(options.callInterval),
      idleInterval_(options.idleInterval),
      retryInterval_(options.retryInterval),
      registerTimeout_(options.registerTimeout),
      stackGrammar_(options.stackGrammar) {}

SipEngine::~SipEngine() = default;

platform::Millis SipEngine::Interval() const {
    return calls_.empty() ? idleInterval_ : callInterval_;
}

int SipEngine::StackSocket() {
    if (core_ == nullptr || !settings_.settings) {
        stackSocket_ = -1;
        return -1;
    }
    const ListenAddress& listen = settings_.settings->listen;
    if (stackSocket_ < 0 || !IsBoundUdpSocket(stackSocket_, listen.address, listen.port)) {
        stackSocket_ = FindBoundUdpSocket(listen.address, listen.port);
    }
    return stackSocket_;
}

void SipEngine::Startup() {
    if (core_ != nullptr) {
        return;
    }
    retryAt_.reset();
    std::string error;
    bool retry = false;
    if (!StartCore(error, retry)) {
        Trace("SIP: not available: %s%s\n", error.c_str(),
              retry ? " (trying again in a while)" : "");
        backend_.SetAttachment(AttachmentStatus::NotAvailable);
        if (retry) {
            retryAt_ = clock_.Now() + retryInterval_;
        }
    }
}

bool SipEngine::StartCore(std::string& error, bool& retry) {
    if (!settings_.settings) {
        error = settings_.error + " (see velto-account --help)";
        return false;
    }
    const SipSettings& s = *settings_.settings;
    std::error_code fsError;
    if (!std::filesystem::exists(stackGrammar_, fsError)) {
        // Any peer's message would end the program.
        error = "the SIP stack's file " + stackGrammar_.string() +
                " is missing (install linphone-common)";
        return false;
    }
    std::string portError;
    if (!PortFree(s.listen, portError)) {
        error = std::string(kListenValue) + " " + s.listen.address + ":" +
                std::to_string(s.listen.port) + ": " + portError;
        retry = true;
        return false;
    }
    const std::filesystem::path plugins = dataDir_ / "no-plugins";
    std::filesystem::create_directories(plugins, fsError);
    if (fsError) {
        error = dataDir_.string() + ": " + fsError.message();
        return false;
    }
    std::filesystem::permissions(dataDir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, fsError);
    const std::filesystem::path rc = dataDir_ / "linphonerc";
    {
        std::ofstream out(rc, std::ios::trunc);
        // guess_hostname off: out-of-dialog requests must come from the configured address,
        // or subscribers do not match their friends. RTP binds where SIP does.
        // No tones of the stack's own (the program plays its sounds itself): its tone at a
        // call's end goes to the sound card once a call has been taken there, and crashes
        // inside the stack when that card cannot be opened.
        out << "[sip]\nbind_address=" << s.listen.address << "\nguess_hostname=0\n"
            << "incoming_calls_early_media=0\n"
            << "[rtp]\nbind_address=" << s.listen.address << "\n"
            << "[sound]\ntone_indications=0\n";
        if (!out) {
            error = rc.string() + ": cannot be written";
            return false;
        }
    }
    // The stack's own log goes to a file beside its state: its complaints on a machine
    // without a sound card are no news for the user.
    LinphoneLoggingService* log = linphone_logging_service_get();
    linphone_logging_service_set_log_file(log, dataDir_.c_str(), "sip.log", 4 << 20);
    linphone_logging_service_set_log_level(log, LinphoneLogLevelWarning);
    LinphoneFactory* factory = linphone_factory_get();
    // The stack glues the file names to these folders without a separator.
    const std::string dir = dataDir_.string() + "/";
    linphone_factory_set_data_dir(factory, dir.c_str());
    linphone_factory_set_config_dir(factory, dir.c_str());
    // An empty plug-in folder: the stack's video plug-in would load a second Qt.
    linphone_factory_set_msplugins_dir(factory, plugins.c_str());

    LinphoneCoreCbs* cbs = linphone_factory_create_core_cbs(factory);
    linphone_core_cbs_set_global_state_changed(
        cbs, [](LinphoneCore* core, LinphoneGlobalState state, const char* message) {
            EngineOf(core).OnGlobalState(state, message);
        });
    linphone_core_cbs_set_account_registration_state_changed(
        cbs, [](LinphoneCore* core, LinphoneAccount*, LinphoneRegistrationState state,
                const char* message) { EngineOf(core).OnRegistration(state, message); });
    linphone_core_cbs_set_call_state_changed(
        cbs, [](LinphoneCore* core, LinphoneCall* call, LinphoneCallState state, const char*) {
            EngineOf(core).OnCallState(call, state);
        });
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

    core_ = linphone_factory_create_core_3(factory, rc.c_str(), nullptr, nullptr);
    if (core_ == nullptr) {
        linphone_core_cbs_unref(cbs);
        error = "the SIP stack could not be created";
        return false;
    }
    linphone_core_set_user_data(core_, this);
    linphone_core_add_callbacks(core_, cbs);
    linphone_core_cbs_unref(cbs);

    linphone_core_enable_ipv6(core_, FALSE);
    LinphoneTransports* transports = linphone_factory_create_transports(factory);
    linphone_transports_set_udp_port(transports, s.listen.port);
    linphone_transports_set_tcp_port(transports, 0);
    linphone_transports_set_tls_port(transports, 0);
    linphone_core_set_transports(core_, transports);
    linphone_transports_unref(transports);

    std::string contact =
        s.identity.displayName.empty() ? std::string() : "\"" + s.identity.displayName + "\" ";
    SipAddress own = s.identity;
    if (s.proxy.empty()) {
        // Direct calls: peers reach us where we listen.
        if (s.listen.address != "0.0.0.0") {
            own.host = s.listen.address;
        }
        own.port = s.listen.port;
    }
    contact += "<" + own.Uri() + ">";
    linphone_core_set_primary_contact(core_, contact.c_str());

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
    linphone_core_set_use_files(core_, TRUE);
    linphone_core_set_play_file(core_, nullptr);
    linphone_core_set_ring(core_, nullptr);
    linphone_core_set_ringback(core_, nullptr);
    linphone_core_add_content_type_support(core_, kDatagramType);

    if (!s.proxy.empty()) {
        LinphoneAccountParams* params = linphone_core_create_account_params(core_);
        LinphoneAddress* identity =
            linphone_factory_create_address(factory, s.identityText.c_str());
        LinphoneAddress* server = linphone_factory_create_address(factory, s.proxy.c_str());
        if (identity == nullptr || server == nullptr) {
            error = "the SIP stack refused the Identity or the Proxy";
        } else {
            linphone_account_params_set_identity_address(params, identity);
            linphone_account_params_set_server_address(params, server);
            linphone_account_params_set_outbound_proxy_enabled(params, TRUE);
            linphone_account_params_set_register_enabled(params, TRUE);
            linphone_account_params_set_publish_enabled(params, FALSE);
            LinphoneAccount* account = linphone_core_create_account(core_, params);
            linphone_core_add_account(core_, account);
            linphone_core_set_default_account(core_, account);
            linphone_account_unref(account);
        }
        if (identity != nullptr) {
            linphone_address_unref(identity);
        }
        if (server != nullptr) {
            linphone_address_unref(server);
        }
        linphone_account_params_unref(params);
        if (!s.password.empty()) {
            LinphoneAuthInfo* auth = linphone_factory_create_auth_info(
                factory, s.identity.user.c_str(), nullptr, s.password.c_str(), nullptr, nullptr,
                s.identity.host.c_str());
            linphone_core_add_auth_info(core_, auth);
            linphone_auth_info_unref(auth);
        }
        if (!error.empty()) {
            StopCore();
            return false;
        }
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
    LoadContacts();
    Trace("SIP: listening on %s:%u as %s%s%s\n", s.listen.address.c_str(),
          static_cast<unsigned>(s.listen.port), s.identityText.c_str(),
          s.proxy.empty() ? "" : " via ", s.proxy.c_str());
    return true;
}

void SipEngine::LoadContacts() {
    ContactFileText file = ReadContactFile(contactsFile_);
    if (!file.error.empty()) {
        Trace("SIP: contact file not read: %s\n", file.error.c_str());
    }
    for (const auto& skipped : file.skipped) {
        Trace("SIP: contact file: skipped the card at %s\n", skipped.c_str());
    }
    std::vector<ContactState> contacts;
    LinphoneFriendList* list = linphone_core_get_default_friend_list(core_);
    for (const SipContact& contact : file.contacts) {
        const std::string handle = contact.address.Handle();
        if (contactUris_.count(handle) != 0) {
            continue;
        }
        contactUris_[handle] = contact.address.Uri();
        contacts.push_back(ContactState{handle, contact.address.Uri(), contact.fullName,
                                        contact.nickname, OnlineStatus::Offline});
        LinphoneFriend* fr =
            linphone_core_create_friend_with_address(core_, contact.address.Uri().c_str());
        if (fr == nullptr) {
            Trace("SIP: contact %s: the SIP stack refused the address\n", handle.c_str());
            continue;
        }
        linphone_friend_enable_subscribes(fr, TRUE);
        linphone_friend_set_inc_subscribe_policy(fr, LinphoneSPAccept);
        linphone_friend_list_add_friend(list, fr);
        linphone_friend_unref(fr);
    }
    backend_.SetContacts(std::move(contacts));
}

void SipEngine::Shutdown() {
    retryAt_.reset();
    registerDeadline_.reset();
    if (core_ == nullptr) {
        return;
    }
    for (auto& [call, context] : calls_) {
        if (context.ended) {
            continue;
        }
        const LinphoneCallState state = linphone_call_get_state(call);
        if (!context.accepted && (state == LinphoneCallStateIncomingReceived ||
                                  state == LinphoneCallStateIncomingEarlyMedia)) {
            linphone_call_decline(call, LinphoneReasonDeclined);
        } else {
            linphone_call_terminate(call);
        }
    }
    // Let the BYEs (and their answers) go through, but never for long.
    const platform::Millis deadline = clock_.Now() + platform::Millis(800);
    while (!calls_.empty() && clock_.Now() < deadline) {
        linphone_core_iterate(core_);
        clock_.SleepFor(platform::Millis(20));
    }
    StopCore();
}

void SipEngine::StopCore() {
    for (auto& [call, context] : calls_) {
        if (!context.ended) {
            Ended(context);
        }
        linphone_call_unref(call);
    }
    calls_.clear();
    for (auto& [message, peer] : sending_) {
        linphone_chat_message_unref(message);
    }
    sending_.clear();
    for (LinphoneChatMessage* message : done_) {
        linphone_chat_message_unref(message);
    }
    done_.clear();
    contactUris_.clear();
    if (core_ != nullptr) {
        linphone_core_stop(core_);
        linphone_core_unref(core_);
        core_ = nullptr;
    }
    backend_.SetAttachment(AttachmentStatus::NotAvailable);
}

void SipEngine::Turn() {
    const platform::Millis now = clock_.Now();
    if (core_ == nullptr) {
        if (retryAt_ && now >= *retryAt_) {
            Startup();
        }
        return;
    }
    for (LinphoneChatMessage* message : done_) {
        linphone_chat_message_unref(message);
    }
    done_.clear();
    if (registerDeadline_ && now >= *registerDeadline_) {
        // The stack waits half a minute for a silent registrar; the user hears of it sooner.
        registerDeadline_.reset();
        Trace("SIP: not available: %s %s does not answer (the stack keeps trying)\n", kProxyValue,
              settings_.settings->proxy.c_str());
        backend_.SetAttachment(AttachmentStatus::NotAvailable);
    }
    for (auto& [call, context] : calls_) {
        // Nobody named a file to ring back with: the early answer goes out silent.
        if (context.answerRequested && !context.earlyStarted && !context.accepted &&
            !context.ended && now >= context.earlyDeadline) {
            StartEarlyMedia(context, "");
        }
        if (context.earlyEnd && now >= *context.earlyEnd) {
            context.earlyEnd.reset();
            if (!context.accepted && !context.ended) {
                backend_.InputEnded(context.id);
            }
        }
    }
    linphone_core_iterate(core_);
}

void SipEngine::OnGlobalState(int state, const char* message) {
    if (state == LinphoneGlobalOn && settings_.settings && settings_.settings->proxy.empty()) {
        backend_.SetAttachment(AttachmentStatus::Success);
    } else if (state == LinphoneGlobalOff || state == LinphoneGlobalShutdown) {
        backend_.SetAttachment(AttachmentStatus::NotAvailable);
    }
    (void)message;
}

void SipEngine::OnRegistration(int state, const char* message) {
    const std::string proxy = settings_.settings ? settings_.settings->proxy : std::string();
    if (state == LinphoneRegistrationOk || state == LinphoneRegistrationFailed) {
        registerDeadline_.reset();
    }
    if (state == LinphoneRegistrationOk) {
        Trace("SIP: registered at %s\n", proxy.c_str());
        backend_.SetAttachment(AttachmentStatus::Success);
    } else if (state == LinphoneRegistrationFailed) {
        Trace(
            "SIP: registration at %s failed: %s (check Proxy, Identity and the password; "
            "the stack tries again)\n",
            proxy.c_str(), message != nullptr ? message : "");
        backend_.SetAttachment(AttachmentStatus::NotAvailable);
    }
}

void SipEngine::OnPresence(_LinphoneFriend* fr) {
    const std::string handle = HandleOf(linphone_friend_get_address(fr));
    backend_.ContactStatusChanged(handle, StatusOf(linphone_friend_get_consolidated_presence(fr)));
}

void SipEngine::OnSubscriptionRequest(_LinphoneFriend* fr) {
    // Anyone may see whether we are online; a subscriber left waiting gets no NOTIFY.
    linphone_friend_set_inc_subscribe_policy(fr, LinphoneSPAccept);
    linphone_friend_list_add_friend(linphone_core_get_default_friend_list(core_), fr);
}

void SipEngine::OnMessage(_LinphoneChatMessage* message) {
    const std::string from = HandleOf(linphone_chat_message_get_from_address(message));
    const char* type = linphone_chat_message_get_content_type(message);
    const char* text = linphone_chat_message_get_utf8_text(message);
    if (type != nullptr && std::strcmp(type, kDatagramType) == 0) {
        backend_.DatagramReceived(from, text != nullptr ? text : "");
    } else {
        Trace("SIP: a message from %s\n", from.c_str());
    }
}

void SipEngine::SendMessage(const std::string& uri, const std::string& text, bool datagram) {
    if (core_ == nullptr) {
        Trace("SIP: message to %s not sent: not running\n", uri.c_str());
        return;
    }
    LinphoneFactory* factory = linphone_factory_get();
    LinphoneAddress* peer = linphone_factory_create_address(factory, uri.c_str());
    if (peer == nullptr) {
        Trace("SIP: message not sent: \"%s\" is no address\n", uri.c_str());
        return;
    }
    LinphoneAddress* local = linphone_core_create_primary_contact_parsed(core_);
    LinphoneChatRoomParams* params = linphone_core_create_default_chat_room_params(core_);
    linphone_chat_room_params_set_backend(params, LinphoneChatRoomBackendBasic);
    linphone_chat_room_params_enable_group(params, FALSE);
    bctbx_list_t* participants = bctbx_list_append(nullptr, peer);
    LinphoneChatRoom* room = linphone_core_create_chat_room_6(core_, params, local, participants);
    bctbx_list_free(participants);
    linphone_chat_room_params_unref(params);
    if (local != nullptr) {
        linphone_address_unref(local);
    }
    linphone_address_unref(peer);
    if (room == nullptr) {
        Trace("SIP: message to %s not sent: no chat room\n", uri.c_str());
        return;
    }
    LinphoneChatMessage* message = nullptr;
    if (datagram) {
        message = linphone_chat_room_create_empty_message(room);
        LinphoneContent* content = linphone_core_create_content(core_);
        linphone_content_set_type(content, "application");
        linphone_content_set_subtype(content, "x-velto-app");
        linphone_content_set_utf8_text(content, text.c_str());
        linphone_chat_message_add_content(message, content);
        linphone_content_unref(content);
    } else {
        message = linphone_chat_room_create_message_from_utf8(room, text.c_str());
    }
    LinphoneChatMessageCbs* cbs = linphone_factory_create_chat_message_cbs(factory);
    linphone_chat_message_cbs_set_user_data(cbs, this);
    linphone_chat_message_cbs_set_msg_state_changed(
        cbs, [](LinphoneChatMessage* m, LinphoneChatMessageState state) {
            auto* engine = static_cast<SipEngine*>(linphone_chat_message_cbs_get_user_data(
                linphone_chat_message_get_current_callbacks(m)));
            engine->OnMessageState(m, state);
        });
    linphone_chat_message_add_callbacks(message, cbs);
    linphone_chat_message_cbs_unref(cbs);
    sending_[message] = uri;
    linphone_chat_message_send(message);
    linphone_chat_room_unref(room);
}

void SipEngine::OnMessageState(_LinphoneChatMessage* message, int state) {
    auto found = sending_.find(message);
    if (found == sending_.end()) {
        return;
    }
    if (state == LinphoneChatMessageStateDelivered ||
        state == LinphoneChatMessageStateNotDelivered) {
        Trace("SIP: message to %s %s\n", found->second.c_str(),
              state == LinphoneChatMessageStateDelivered ? "delivered" : "NOT delivered");
        sending_.erase(found);
        // Not inside the stack's own callback: the reference goes at the next turn.
        done_.push_back(message);
    }
}

}  // namespace velto::skype::sip
