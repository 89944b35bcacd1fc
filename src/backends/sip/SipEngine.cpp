#include "backends/sip/SipEngine.h"

#include <arpa/inet.h>
#include <linphone/core.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "backends/sip/StackAddress.h"
#include "backends/sip/StackSocket.h"
#include "platform/Trace.h"
#include "sipaccount/ContactFile.h"
#include "sipaccount/RegistrationNote.h"

namespace velto::skype::sip {
namespace {

using platform::Trace;

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
      stackGrammar_(options.stackGrammar),
      turnOverTls_(options.turnOverTls),
      registerRetry_(options.registerRetry),
      rereadSettings_(options.rereadSettings),
      accountLink_(options.accountLink),
      passwordCheck_(options.passwordCheck) {}

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
        TellNotStarted(error, retry);
    }
}

void SipEngine::LoadContacts() {
    if (core_ == nullptr) {
        return;  // the next start of the stack reads the file
    }
    ContactFileText file = ReadContactFile(contactsFile_);
    if (!file.error.empty()) {
        Trace("SIP: contact file not read: %s\n", file.error.c_str());
    }
    for (const auto& skipped : file.skipped) {
        Trace("SIP: contact file: skipped the card at %s\n", skipped.c_str());
    }
    std::vector<ContactState> contacts;
    std::map<std::string, std::string> uris;
    // Contacts whose subscription goes on: their status stays what it was.
    std::set<std::string> kept;
    for (const SipContact& contact : file.contacts) {
        const std::string handle = contact.address.Handle();
        const std::string uri = contact.address.Uri();
        if (!uris.emplace(handle, uri).second) {
            continue;
        }
        contacts.push_back(ContactState{handle, uri, contact.fullName, contact.nickname,
                                        OnlineStatus::Offline, contact.groups});
        const auto old = contactUris_.find(handle);
        if (old != contactUris_.end() && old->second == uri) {
            kept.insert(handle);
            continue;
        }
        if (old != contactUris_.end()) {
            Unsubscribe(old->second);
        }
        Subscribe(handle, uri);
    }
    for (const auto& [handle, uri] : contactUris_) {
        if (uris.count(handle) == 0) {
            Unsubscribe(uri);
        }
    }
    contactUris_ = std::move(uris);
    backend_.SetContacts(std::move(contacts), kept);
}

void SipEngine::Subscribe(const std::string& handle, const std::string& uri) {
    LinphoneFriendList* list = linphone_core_get_default_friend_list(core_);
    // A subscriber of ours may be in the list already (accepted in OnSubscriptionRequest).
    LinphoneFriend* fr = linphone_friend_list_find_friend_by_uri(list, uri.c_str());
    if (fr != nullptr) {
        linphone_friend_edit(fr);
        linphone_friend_enable_subscribes(fr, TRUE);
        linphone_friend_done(fr);
        return;
    }
    fr = linphone_core_create_friend_with_address(core_, uri.c_str());
    if (fr == nullptr) {
        Trace("SIP: contact %s: the SIP stack refused the address\n", handle.c_str());
        return;
    }
    linphone_friend_enable_subscribes(fr, TRUE);
    linphone_friend_set_inc_subscribe_policy(fr, LinphoneSPAccept);
    linphone_friend_list_add_friend(list, fr);
    linphone_friend_unref(fr);
}

void SipEngine::Unsubscribe(const std::string& uri) {
    LinphoneFriendList* list = linphone_core_get_default_friend_list(core_);
    LinphoneFriend* fr = linphone_friend_list_find_friend_by_uri(list, uri.c_str());
    if (fr == nullptr) {
        return;
    }
    // The friend stays, so that the peer's own subscription to us is still accepted; only
    // our watch of its presence ends.
    linphone_friend_edit(fr);
    linphone_friend_enable_subscribes(fr, FALSE);
    linphone_friend_done(fr);
}

void SipEngine::Shutdown() {
    retryAt_.reset();
    registerDeadline_.reset();
    registerRetryAt_.reset();
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
    if (account_ != nullptr) {
        RemoveRegistrationNote(dataDir_);
    }
    account_ = nullptr;
    registerDeadline_.reset();
    registerRetryAt_.reset();
    passwordCheckAt_.reset();
    if (core_ != nullptr) {
        linphone_core_stop(core_);
        linphone_core_unref(core_);
        core_ = nullptr;
    }
    backend_.SetAttachment(AttachmentStatus::NotAvailable);
}

void SipEngine::Turn() {
    const platform::Millis now = clock_.Now();
    if (reloadPending_ && calls_.empty()) {
        reloadPending_ = false;
        ReloadAccount();
    }
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
        ScheduleRegistration("no answer within " + std::to_string(registerTimeout_.count() / 1000) +
                             " s");
    }
    if (passwordCheckAt_ && now >= *passwordCheckAt_) {
        passwordCheckAt_ = now + passwordCheck_;
        if (AccountChanged()) {
            registerRetryAt_ = now;
        }
    }
    if (registerRetryAt_ && now >= *registerRetryAt_) {
        RetryRegistration();
        if (core_ == nullptr) {
            return;
        }
    }
    for (auto& [call, context] : calls_) {
        // Nobody named a file to ring back with: the early answer goes out silent.
        if (context.answerRequested && !context.earlyStarted && !context.accepted &&
            !context.ended && now >= context.earlyDeadline) {
            StartEarlyMedia(context, "");
        }
        if (context.recording && now >= context.nextHeader) {
            RefreshRecordingHeader(context);
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
