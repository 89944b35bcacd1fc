#include "core/LanguageChange.h"

#include <gtest/gtest.h>

#include "core/Messages.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"

namespace velto::core {
namespace {

class Window : public platform::MessageTarget {
  public:
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam,
                                platform::LParam) override {
        if (message == WM_REFRESH_TEXTS) {
            refreshed.push_back(static_cast<int32_t>(wParam));
        }
        return 0;
    }
    std::vector<int32_t> refreshed;
};

class LanguageChangeTest : public ::testing::Test {
  protected:
    LanguageChangeTest() {
        state.DefaultLanguageIndex = 3;
        state.CurrentLanguage = 3;
        refresh.RegisterForRefresh(windows.Create(loop, window));
    }
    // Writes succeed unless `writeError` says otherwise; records what was written.
    DefaultLanguageWriter Writer() {
        return [this](int32_t language) {
            written.push_back(language);
            return writeError;
        };
    }

    platform::VirtualClock clock;
    platform::MessageLoop loop{clock};
    platform::WindowManager windows;
    Window window;
    i18n::RefreshList refresh{windows};
    SharedState state;
    std::vector<int32_t> written;
    int writeError = 0;
    platform::TraceCapture trace;
};

TEST_F(LanguageChangeTest, WithoutSkypeTheChoiceBecomesTheStoredDefault) {
    EXPECT_TRUE(ChangeLanguage(state, 2, Writer(), refresh));
    EXPECT_EQ(state.CurrentLanguage, 2);
    EXPECT_EQ(state.DefaultLanguageIndex, 2);
    EXPECT_EQ(written, std::vector<int32_t>{2});
    EXPECT_TRUE(trace.Contains("OK to set key value\n"));
    loop.ProcessPending();
    EXPECT_EQ(window.refreshed, std::vector<int32_t>{2});
}

TEST_F(LanguageChangeTest, WhileAttachedOnlyTheCurrentLanguageChanges) {
    state.SkypeAttached = true;
    EXPECT_TRUE(ChangeLanguage(state, 14, Writer(), refresh));
    EXPECT_EQ(state.CurrentLanguage, 14);
    EXPECT_EQ(state.DefaultLanguageIndex, 3);  // the next start uses the old language
    EXPECT_TRUE(written.empty());
    loop.ProcessPending();
    EXPECT_EQ(window.refreshed, std::vector<int32_t>{14});  // open windows switch at once
}

TEST_F(LanguageChangeTest, AFailedWriteIsTracedAndTheNewLanguageKept) {
    writeError = 5;
    EXPECT_TRUE(ChangeLanguage(state, 7, Writer(), refresh));
    EXPECT_TRUE(trace.Contains("Fail to set key value 5\n"));
    EXPECT_FALSE(trace.Contains("OK to set key value"));
    EXPECT_EQ(state.CurrentLanguage, 7);
    EXPECT_EQ(state.DefaultLanguageIndex, 7);
    loop.ProcessPending();
    EXPECT_EQ(window.refreshed, std::vector<int32_t>{7});
}

TEST_F(LanguageChangeTest, ANumberThatIsNoLanguageChangesNothing) {
    for (int32_t bad : {-1, 15, 1000}) {
        EXPECT_FALSE(ChangeLanguage(state, bad, Writer(), refresh));
    }
    EXPECT_EQ(state.CurrentLanguage, 3);
    EXPECT_EQ(state.DefaultLanguageIndex, 3);
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(loop.ProcessPending(), 0);
}

}  // namespace
}  // namespace velto::core
