#include "ui/model/GeneralOptions.h"

#include "partner/PartnerToneService.h"

namespace velto::ui {

GeneralOptions::GeneralOptions(GeneralContext context)
    : context_(std::move(context)),
      autoStart_(context_.state.AutoStartEnabled.load()),
      friendMsg_(context_.state.FriendMsgEnabled.load()),
      autoUpdate_(context_.state.AutoUpdateEnabled.load()),
      language_(context_.state.CurrentLanguage.load()) {}

void GeneralOptions::ToggleAutoStart() {
    context_.options.SetAutoStart(!AutoStart());
}

void GeneralOptions::ToggleFriendMsg() {
    context_.options.SetFriendMsg(!FriendMsg());
}

void GeneralOptions::ToggleAutoUpdate() {
    context_.options.SetAutoUpdate(!AutoUpdate());
}

bool GeneralOptions::ChooseLanguage(int32_t language) {
    return context_.changeLanguage && context_.changeLanguage(language);
}

void GeneralOptions::Apply() {
    if (context_.state.CurrentLanguage.load() == partner::kAlwaysRunLanguage &&
        language_ != partner::kAlwaysRunLanguage && context_.startPartnerEngine) {
        context_.startPartnerEngine();
    }
}

void GeneralOptions::Revert() {
    context_.options.SetAutoStart(autoStart_);
    context_.options.SetAutoUpdate(autoUpdate_);
    context_.options.SetFriendMsg(friendMsg_);
}

}  // namespace velto::ui
