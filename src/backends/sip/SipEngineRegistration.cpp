// The account's registration: what the trace says of it, and trying again after a failure
// (the stack gives up after an authentication failure, and the user may fix the password
// while the program runs).
#include <linphone/core.h>

#include <unistd.h>

#include <ctime>
#include <mutex>

#include "backends/sip/SipEngine.h"
#include "platform/Trace.h"
#include "sipaccount/RegistrationNote.h"

namespace velto::skype::sip {
namespace {

using platform::Trace;

// The stack's report of a refused server certificate, caught from its log: the registration
// itself only fails with "io error".
std::mutex certificateMutex;
std::string lastCertificateProblem;

// One line of the stack's certificate report ("subject name      : CN=..."), or empty.
std::string Field(const std::string& text, const std::string& name) {
    const size_t at = text.find("\n" + name);
    if (at == std::string::npos) {
        return {};
    }
    const size_t colon = text.find(": ", at);
    const size_t end = text.find('\n', at + 1);
    if (colon == std::string::npos || colon > end) {
        return {};
    }
    return text.substr(colon + 2, end == std::string::npos ? end : end - colon - 2);
}

// "Found certificate depth=[0], flags=[CN-mismatch not-trusted ]:" and the certificate's
// description: the subject and why it was refused. Empty for a certificate that passed.
std::string CertificateProblem(const std::string& text) {
    static const std::string kFound = "Found certificate depth=[";
    const size_t flags = text.find("flags=[");
    if (text.compare(0, kFound.size(), kFound) != 0 || flags == std::string::npos) {
        return {};
    }
    const size_t close = text.find(']', flags);
    std::string reasons =
        text.substr(flags + 7, close == std::string::npos ? 0 : close - flags - 7);
    while (!reasons.empty() && reasons.back() == ' ') {
        reasons.pop_back();
    }
    if (reasons.empty()) {
        return {};
    }
    return "the server's certificate \"" + Field(text, "subject name") + "\" (issued by \"" +
           Field(text, "issuer name") + "\") was refused: " + reasons;
}

std::string ClockTime(platform::WallTime when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string TransportName(const SipSettings& s) {
    std::string transport = s.FirstHop() ? s.FirstHop()->Transport() : "udp";
    for (char& c : transport) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return transport;
}

// The registrar, and the outbound proxy the requests go through when there is one.
std::string RegistrarName(const SipSettings& s) {
    return s.outboundProxy.empty() ? s.proxy : s.proxy + " via " + s.outboundProxy;
}

RegistrationState StateOf(RegistrationState::Phase phase, const SipSettings& s,
                          std::string reason = {}, platform::WallTime when = {}, int expires = 0) {
    RegistrationState state;
    state.phase = phase;
    state.proxy = s.proxy;
    state.transport = TransportName(s);
    state.reason = std::move(reason);
    state.when = when;
    state.expires = expires;
    return state;
}

}  // namespace

void SipEngine::WatchStackLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        LinphoneLoggingService* log = linphone_logging_service_get();
        LinphoneLoggingServiceCbs* cbs =
            linphone_factory_create_logging_service_cbs(linphone_factory_get());
        linphone_logging_service_cbs_set_log_message_written(
            cbs,
            [](LinphoneLoggingService*, const char*, LinphoneLogLevel level, const char* message) {
                if (message == nullptr || level != LinphoneLogLevelMessage) {
                    return;
                }
                const std::string problem = CertificateProblem(message);
                if (!problem.empty()) {
                    std::lock_guard guard(certificateMutex);
                    lastCertificateProblem = problem.substr(0, 600);
                }
            });
        linphone_logging_service_add_callbacks(log, cbs);
        linphone_logging_service_cbs_unref(cbs);
    });
    std::lock_guard guard(certificateMutex);
    lastCertificateProblem.clear();
}

void SipEngine::OnRegistration(_LinphoneAccount* account, int state, const char* message) {
    if (!settings_.settings || account != account_) {
        return;
    }
    const SipSettings& s = *settings_.settings;
    if (state == LinphoneRegistrationOk) {
        registerDeadline_.reset();
        registerRetryAt_.reset();
        passwordCheckAt_.reset();
        registerRetry_.Reset();
        const LinphoneAccountParams* params = linphone_account_get_params(account);
        const int expires = linphone_account_params_get_expires(params);
        TellRegistration(
            "registered at " + RegistrarName(s) + " over " + TransportName(s) + " as " +
                s.identity.Handle() + " (expires in " + std::to_string(expires) + " s)",
            StateOf(RegistrationState::Phase::Registered, s, {}, clock_.WallNow(), expires));
        backend_.SetAttachment(AttachmentStatus::Success);
        return;
    }
    if (state != LinphoneRegistrationFailed) {
        return;
    }
    registerDeadline_.reset();
    std::string reason = message != nullptr ? message : "";
    const LinphoneErrorInfo* info = linphone_account_get_error_info(account);
    const int code = info != nullptr ? linphone_error_info_get_protocol_code(info) : 0;
    if (code == 401 || code == 403 || code == 407) {
        passwordCheckAt_ = clock_.Now() + passwordCheck_;
    }
    if (code != 0) {
        const char* phrase = linphone_error_info_get_phrase(info);
        reason = std::to_string(linphone_error_info_get_protocol_code(info)) + " " +
                 (phrase != nullptr ? phrase : reason.c_str());
    }
    {
        std::lock_guard guard(certificateMutex);
        if (TransportName(s) == "TLS" && !lastCertificateProblem.empty()) {
            reason += " (" + lastCertificateProblem + ")";
            lastCertificateProblem.clear();
        }
    }
    ScheduleRegistration(reason);
}

void SipEngine::ScheduleRegistration(const std::string& reason) {
    const SipSettings& s = *settings_.settings;
    const platform::Millis wait = registerRetry_.Next();
    registerRetryAt_ = clock_.Now() + wait;
    const platform::WallTime next = clock_.WallNow() + wait;
    TellRegistration("registration at " + RegistrarName(s) + " over " + TransportName(s) +
                         " failed: " + reason + "; next try in " +
                         std::to_string(wait.count() / 1000) + " s, at " + ClockTime(next),
                     StateOf(RegistrationState::Phase::Failed, s, reason, next));
    backend_.SetAttachment(AttachmentStatus::NotAvailable);
}

// In the trace, in the data folder's note for `velto-account status`, and to the program's
// windows.
void SipEngine::TellRegistration(const std::string& line, RegistrationState state) {
    WriteRegistrationNote(dataDir_, {.pid = getpid(), .line = line});
    Trace("SIP: %s\n", line.c_str());
    if (accountLink_) {
        accountLink_->Publish(std::move(state));
    }
}

void SipEngine::TellRegistering() {
    if (!accountLink_ || !settings_.settings) {
        return;
    }
    const SipSettings& s = *settings_.settings;
    accountLink_->Publish(StateOf(
        s.proxy.empty() ? RegistrationState::Phase::Direct : RegistrationState::Phase::Registering,
        s));
}

void SipEngine::TellNotStarted(const std::string& error, bool retry) {
    if (!accountLink_) {
        return;
    }
    if (!settings_.settings) {
        RegistrationState state;
        state.phase = RegistrationState::Phase::NotSetUp;
        state.reason = error;
        accountLink_->Publish(std::move(state));
        return;
    }
    const SipSettings& s = *settings_.settings;
    accountLink_->Publish(
        StateOf(RegistrationState::Phase::Failed, s, error,
                retry ? clock_.WallNow() + retryInterval_ : platform::WallTime{}));
}

void SipEngine::ReloadAccount() {
    if (!rereadSettings_) {
        return;
    }
    SipSettingsResult fresh = rereadSettings_();
    if (core_ != nullptr && fresh.settings && settings_.settings &&
        fresh.settings->SameAccount(*settings_.settings)) {
        // The stack keeps its account: a new password (or none new) is tried at once.
        Trace("SIP: the account was saved: registering again\n");
        settings_ = std::move(fresh);
        SetAuth(*settings_.settings);
        registerRetry_.Reset();
        registerRetryAt_ = clock_.Now();
        return;
    }
    if (!calls_.empty()) {
        Trace("SIP: the account has changed: starting again once the calls are over\n");
        reloadPending_ = true;
        return;
    }
    Trace("SIP: the account has changed: starting again\n");
    settings_ = std::move(fresh);
    registerRetry_.Reset();
    StopCore();
    Startup();
}

bool SipEngine::AccountChanged() {
    if (!rereadSettings_ || !settings_.settings) {
        return false;
    }
    const SipSettingsResult fresh = rereadSettings_();
    return fresh.settings && (!fresh.settings->SameAccount(*settings_.settings) ||
                              fresh.settings->password != settings_.settings->password ||
                              fresh.settings->turnPassword != settings_.settings->turnPassword);
}

void SipEngine::RetryRegistration() {
    registerRetryAt_.reset();
    if (rereadSettings_) {
        // The user may have fixed the account meanwhile.
        SipSettingsResult fresh = rereadSettings_();
        if (!fresh.settings) {
            Trace("SIP: the account cannot be read: %s\n", fresh.error.c_str());
        } else if (!fresh.settings->SameAccount(*settings_.settings)) {
            if (calls_.empty()) {
                Trace("SIP: the account has changed: starting again\n");
                settings_ = std::move(fresh);
                registerRetry_.Reset();
                StopCore();
                Startup();
                return;
            }
        } else if (fresh.settings->password != settings_.settings->password ||
                   fresh.settings->turnPassword != settings_.settings->turnPassword) {
            settings_.settings->password = fresh.settings->password;
            settings_.settings->turnPassword = fresh.settings->turnPassword;
            SetAuth(*settings_.settings);
        }
    }
    if (account_ != nullptr) {
        registerDeadline_ = clock_.Now() + registerTimeout_;
        TellRegistering();
        linphone_account_refresh_register(account_);
    }
}

}  // namespace velto::skype::sip
