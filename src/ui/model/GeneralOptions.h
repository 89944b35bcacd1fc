#pragma once

#include <cstdint>
#include <functional>

#include "core/RegistryOptions.h"
#include "core/SharedState.h"

namespace velto::ui {

struct GeneralContext {
    core::SharedState& state;
    core::RegistryOptions& options;
    // The run-time language change; false when refused.
    std::function<bool(int32_t language)> changeLanguage;
    std::function<void()> startPartnerEngine;
};

// The General page's switches: each click is stored at once; Cancel puts the three
// switches back as they were when the page opened.
class GeneralOptions {
  public:
    explicit GeneralOptions(GeneralContext context);

    bool AutoStart() const { return context_.state.AutoStartEnabled.load(); }
    bool FriendMsg() const { return context_.state.FriendMsgEnabled.load(); }
    bool AutoUpdate() const { return context_.state.AutoUpdateEnabled.load(); }
    void ToggleAutoStart();
    void ToggleFriendMsg();
    void ToggleAutoUpdate();
    bool ChooseLanguage(int32_t language);

    // OK: a switch to language 1 starts the partner service.
    void Apply();
    void Revert();

  private:
    GeneralContext context_;
    const bool autoStart_;
    const bool friendMsg_;
    const bool autoUpdate_;
    const int32_t language_;
};

}  // namespace velto::ui
