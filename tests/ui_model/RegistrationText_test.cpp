// The registration state in words: every phase, in English and in another language, with
// the server, the transport and the times filled in.
#include "ui/model/RegistrationText.h"

#include <gtest/gtest.h>

#include <ctime>

#include "i18n/Languages.h"

namespace velto::ui {
namespace {

using Phase = skype::sip::RegistrationState::Phase;

constexpr int32_t kEnglish = 3;

// 14:05:09 today, on the local clock.
platform::WallTime FiveAfterTwo() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = 14;
    local.tm_min = 5;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

skype::sip::RegistrationState State(Phase phase, std::string reason = {}) {
    skype::sip::RegistrationState state;
    state.phase = phase;
    state.proxy = "sips:[2001:db8::1]:5061;lr";
    state.transport = "TLS";
    state.reason = std::move(reason);
    state.when = FiveAfterTwo();
    return state;
}

TEST(RegistrationText, EveryPhaseSaysWhereTheAccountStands) {
    EXPECT_EQ(RegistrationText(State(Phase::Starting), kEnglish), u"Starting the SIP account…");
    EXPECT_EQ(
        RegistrationText(State(Phase::NotSetUp, "Identity: no SIP identity is set"), kEnglish),
        u"No SIP account is set up yet.");
    EXPECT_EQ(RegistrationText(State(Phase::NotSetUp, "Proxy \"x\": bad."), kEnglish),
              u"The SIP account cannot be used: Proxy \"x\": bad");
    EXPECT_EQ(RegistrationText(State(Phase::Registering), kEnglish),
              u"Registering at [2001:db8::1]:5061…");
    EXPECT_EQ(RegistrationText(State(Phase::Registered), kEnglish),
              u"Registered at [2001:db8::1]:5061 over TLS since 14:05:09.");
    EXPECT_EQ(RegistrationText(State(Phase::Direct), kEnglish),
              u"Ready for direct calls (no server).");
    EXPECT_EQ(RegistrationText(State(Phase::Failed, "403 Forbidden"), kEnglish),
              u"Registration at [2001:db8::1]:5061 failed: 403 Forbidden. Next try at 14:05:09.");
    // No next try known: none named.
    auto failed = State(Phase::Failed, "no answer within 10 s");
    failed.when = {};
    EXPECT_EQ(RegistrationText(failed, kEnglish),
              u"Registration at [2001:db8::1]:5061 failed: no answer within 10 s.");
    // The stack did not start (no server): the reason alone.
    failed.proxy.clear();
    failed.reason = "the port 5060 is taken";
    EXPECT_EQ(RegistrationText(failed, kEnglish),
              u"The SIP account cannot be used: the port 5060 is taken");
}

TEST(RegistrationText, OtherLanguagesPlaceTheFieldsWhereTheirSentenceWantsThem) {
    const int32_t japanese = i18n::LanguageFromCode("jpn").value_or(-1);
    ASSERT_GE(japanese, 0);
    EXPECT_EQ(RegistrationText(State(Phase::Registered), japanese),
              u"14:05:09 から [2001:db8::1]:5061 に TLS で登録済み。");
    EXPECT_EQ(FillIn(u"{3}-{1}-{2}-{4}-{1", u"a", u"b", u"c"), u"c-a-b-{4}-{1");
    EXPECT_EQ(WindowStateOf(State(Phase::Direct)), SipWindowState::Ready);
    EXPECT_EQ(WindowStateOf(State(Phase::Starting)), SipWindowState::Registering);
}

}  // namespace
}  // namespace velto::ui
