#include "ui/model/RegistrationText.h"

#include <ctime>

#include "i18n/LanguageTable.h"
#include "platform/Text.h"

namespace velto::ui {
namespace {

using Phase = skype::sip::RegistrationState::Phase;

std::u16string Wide(const std::string& text) {
    return platform::Utf8ToUtf16(text);
}

std::u16string ClockTime(platform::WallTime when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return Wide(text);
}

// The server as the user knows it: the proxy without "sip:" and parameters.
std::u16string ServerName(const std::string& proxy) {
    std::string name = proxy;
    for (const char* scheme : {"sips:", "sip:"}) {
        const std::string prefix(scheme);
        if (name.compare(0, prefix.size(), prefix) == 0) {
            name.erase(0, prefix.size());
            break;
        }
    }
    return Wide(name.substr(0, name.find(';')));
}

// A reason may end in a full stop of its own; the text puts one after it.
std::u16string Reason(const std::string& reason) {
    std::string text = reason;
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
        text.pop_back();
    }
    return Wide(text);
}

}  // namespace

std::u16string FillIn(std::u16string text, const std::u16string& first,
                      const std::u16string& second, const std::u16string& third) {
    const std::u16string* arguments[] = {&first, &second, &third};
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'{' && i + 2 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'3' &&
            text[i + 2] == u'}') {
            out += *arguments[text[i + 1] - u'1'];
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::u16string RegistrationText(const skype::sip::RegistrationState& state, int32_t language) {
    auto text = [language](i18n::TextKey key) {
        return std::u16string(i18n::GetText(key, language));
    };
    switch (state.phase) {
        case Phase::Starting:
            return text(i18n::TXT_SIP_STARTING);
        case Phase::NotSetUp:
            // No identity at all is the plain first case; anything else says what is wrong.
            if (state.reason.empty() || state.reason.find("no SIP identity") != std::string::npos) {
                return text(i18n::TXT_SIP_NOT_SET_UP);
            }
            return FillIn(text(i18n::TXT_SIP_UNUSABLE), Reason(state.reason));
        case Phase::Registering:
            return FillIn(text(i18n::TXT_SIP_REGISTERING), ServerName(state.proxy));
        case Phase::Registered:
            return FillIn(text(i18n::TXT_SIP_REGISTERED), ServerName(state.proxy),
                          Wide(state.transport), ClockTime(state.when));
        case Phase::Direct:
            return text(i18n::TXT_SIP_DIRECT);
        case Phase::Failed:
            break;
    }
    // Without a server it is the stack that could not start (a port taken, say).
    std::u16string failed =
        state.proxy.empty()
            ? FillIn(text(i18n::TXT_SIP_UNUSABLE), Reason(state.reason))
            : FillIn(text(i18n::TXT_SIP_FAILED), ServerName(state.proxy), Reason(state.reason));
    if (state.when != platform::WallTime{}) {
        failed += u" " + FillIn(text(i18n::TXT_SIP_NEXT_TRY), ClockTime(state.when));
    }
    return failed;
}

SipWindowState WindowStateOf(const skype::sip::RegistrationState& state) {
    switch (state.phase) {
        case Phase::NotSetUp:
            return SipWindowState::NotSetUp;
        case Phase::Starting:
        case Phase::Registering:
            return SipWindowState::Registering;
        case Phase::Registered:
        case Phase::Direct:
            return SipWindowState::Ready;
        case Phase::Failed:
            break;
    }
    return SipWindowState::Failed;
}

}  // namespace velto::ui
