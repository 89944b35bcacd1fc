#include "skype/AttachmentHandler.h"

#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "i18n/LanguageTable.h"
#include "partner/PartnerToneService.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "server/UniqueIdThread.h"
#include "skype/VersionCheck.h"

namespace velto::skype {

using platform::RegRoot;
using platform::Trace;

void AttachmentHandler::OnAttachmentStatus(int32_t status) {
    switch (static_cast<AttachmentStatus>(status)) {
        case AttachmentStatus::Success:
            Granted();
            break;
        case AttachmentStatus::PendingAuthorization:
            PendingAuthorization();
            break;
        case AttachmentStatus::Refused:
            Refused();
            break;
        case AttachmentStatus::NotAvailable:
            NotAvailable();
            break;
        case AttachmentStatus::Available:
            Available();
            break;
        default:
            break;
    }
}

void AttachmentHandler::AttachAgain() {
    skype_.Attach(kAttachProtocol, false);
}

void AttachmentHandler::PostRefreshTexts() {
    context_.windows.PostMessage(context_.state.MainWindowHandle, core::WM_REFRESH_TEXTS, 0, 0);
}

void AttachmentHandler::CheckVersion() {
    const std::string version = skype_.Version();
    if (!IsSkypeTooOld(version)) {
        return;
    }
    Trace("Skype %s is older than version %d\n", version.c_str(), kOldestSkypeMajor);
    const std::u16string text =
        i18n::GetText(i18n::TextKey::TXT_UPDATE_SKYPE, context_.state.DefaultLanguageIndex);
    context_.boxes.Show(platform::Utf16ToUtf8(text), kVersionCaption);
    throw core::ProcessExit(0);
}

void AttachmentHandler::Granted() {
    Trace("API connected\n");
    core::SharedState& state = context_.state;
    state.SkypeAttached = true;
    state.AuthorizedOnce = true;
    state.SkypeNotAvailable = false;
    state.AuthorizationPending = false;
    state.AuthorizationRefused = false;

    if (context_.registry.KeyExists(RegRoot::CurrentUser, core::kVeltoKey)) {
        const auto error = context_.registry.SetDword(RegRoot::CurrentUser, core::kVeltoKey,
                                                      "AuthorizedOnce", core::kOn);
        if (error != platform::RegError::Ok) {
            Trace("Fail to set key value %ld\n", static_cast<long>(error));
        }
    }

    CheckVersion();

    state.MyHandle.Set(skype_.CurrentUserHandle());

    if (state.FirstRun) {
        server::UniqueIdThread::StartIfFirstRun(context_.workers, context_.table, state,
                                                context_.serverLink);
    }

    Trace("Start personal setting loading\n");
    context_.settingFile.LoadSettingFile();
    context_.registrySettings.LoadPersonalRegistrySettings();
    if (context_.hooks.loadMissedCalls) {
        context_.hooks.loadMissedCalls();
    }

    if (context_.partner != nullptr) {
        context_.partner->OnSkypeAttached();  // traces "Start quorin ringtone engine"
    } else {
        Trace("Start quorin ringtone engine\n");
        Trace("No partner ring-tone service in this program\n");
    }

    context_.refresh.BroadcastRefresh(state.CurrentLanguage);

    channel_.Prepare(skype_);

    context_.serverLink.Instance();

    StartAttachmentStabiliser(context_, gate_);
}

void AttachmentHandler::PendingAuthorization() {
    Trace("API connection pending authorization\n");
    core::SharedState& state = context_.state;
    state.AuthorizationPending = true;
    state.SkypeNotAvailable = false;
    state.AuthorizationRefused = false;
    PostRefreshTexts();
}

void AttachmentHandler::Refused() {
    Trace("API connection refused\n");
    core::SharedState& state = context_.state;
    state.AuthorizationPending = false;
    state.SkypeNotAvailable = false;
    state.AuthorizationRefused = true;
    state.ContactListFilled = false;
    PostRefreshTexts();
    AttachAgain();
}

void AttachmentHandler::NotAvailable() {
    Trace("API not available\n");
    core::SharedState& state = context_.state;
    state.SkypeNotAvailable = true;
    state.AuthorizationPending = false;
    state.AuthorizationRefused = false;
    state.ContactListFilled = false;
    if (state.SkypeAttached) {
        context_.settingFile.SaveSettingFile();
        state.SkypeAttached = false;
        context_.windows.PostMessage(state.MainWindowHandle, core::WM_SKYPE_LOST, 0, 0);
    }
    AttachAgain();
    PostRefreshTexts();
}

void AttachmentHandler::Available() {
    Trace("API available\n");
    core::SharedState& state = context_.state;
    state.SkypeNotAvailable = false;
    state.AuthorizationPending = false;
    state.AuthorizationRefused = false;
    AttachAgain();
    PostRefreshTexts();
}

}  // namespace velto::skype
