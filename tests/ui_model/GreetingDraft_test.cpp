// A greeting being chosen: what a pick or a recording leaves behind when the window is
// cancelled or confirmed, and the names of the greetings' own files.
#include "ui/model/GreetingDraft.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/SettingFileStore.h"
#include "support/TempDir.h"

namespace velto::ui {
namespace {

namespace fs = std::filesystem;
using core::GreetingChoice;
using core::GreetingKind;
using Option = GreetingDraft::Option;

class NoOptions final : public core::RegistryOptions {
  public:
    void SetAutoStart(bool) override {}
    void SetAutoUpdate(bool) override {}
    void SetFriendMsg(bool) override {}
};

class GreetingDraftTest : public ::testing::Test {
  protected:
    GreetingDraftTest() {
        shared.UserDataDir.Set(data.path().string());
        shared.MyHandle.Set("me");
        fs::create_directories(Own() / "RingTone");
    }
    fs::path Own() const { return data / "me"; }
    // What a finished conversion leaves behind: a tone file and its catalogue item.
    int32_t Converted(const std::string& name) {
        const fs::path file = Own() / "RingTone" / (name + ".wav");
        test::WriteFileBytes(file, "RIFF" + name);
        return *store.AddCatalogueTone(std::u16string(name.begin(), name.end()), file.u16string());
    }
    std::unique_ptr<GreetingDraft> Draft(std::optional<GreetingChoice> stored,
                                         std::optional<fs::path> own) {
        return std::make_unique<GreetingDraft>(ToneContext{settings, store, {}}, std::move(own),
                                               "Greeting-al.wav", std::move(stored));
    }

    test::TempDir data;
    core::SharedState shared;
    core::UserSettings settings{"/opt/velto"};
    NoOptions options;
    core::SettingFileStore store{shared, settings, options};
};

TEST_F(GreetingDraftTest, CancelLeavesNeitherThePickNorTheRecordingBehind) {
    const size_t tones = settings.Catalogue().size();
    {
        auto draft = Draft(GreetingChoice{}, Own());
        EXPECT_FALSE(draft->Choose(Option::File));  // nothing to play yet
        draft->Picked(Converted("hello"), u"hello.mp3");
        EXPECT_EQ(draft->option(), Option::File);
        EXPECT_EQ(draft->FileTitle(), u"hello.mp3");
        // A recording after the pick replaces it.
        test::WriteFileBytes(*draft->RecordTarget(), "RIFFvoice");
        draft->Recorded();
        EXPECT_EQ(settings.Catalogue().size(), tones);
        EXPECT_EQ(draft->File(), draft->RecordTarget());
    }  // the window closes without OK
    EXPECT_EQ(settings.Catalogue().size(), tones);
    EXPECT_TRUE(fs::is_empty(Own() / "RingTone"));
    EXPECT_FALSE(fs::exists(Own() / "Greeting-al-new.wav"));
    EXPECT_FALSE(fs::exists(Own() / "Greeting-al.wav"));
}

// Without a user folder nothing can be put in place: the stored greeting stays.
TEST_F(GreetingDraftTest, APickThatCannotBePutInPlaceKeepsTheStoredGreeting) {
    const GreetingChoice own{GreetingKind::Own, ""};
    auto draft = Draft(own, std::nullopt);
    draft->Picked(Converted("hello"), u"hello.mp3");
    EXPECT_EQ(draft->Commit(), own);
    EXPECT_EQ(draft->option(), Option::File);
    draft->Revert();
    EXPECT_EQ(draft->option(), Option::Own);
}

TEST_F(GreetingDraftTest, AContactsFileIsNamedByTheHandleWhenItCanBe) {
    EXPECT_EQ(GreetingDraft::ContactFileName("alice.smith"), "Greeting-alice.smith.wav");
    const std::string odd = GreetingDraft::ContactFileName("sip:a/b@example.org");
    EXPECT_EQ(odd, GreetingDraft::ContactFileName("sip:a/b@example.org"));
    EXPECT_NE(odd, GreetingDraft::ContactFileName("sip:a/c@example.org"));
    EXPECT_EQ(odd.find('/'), std::string::npos);
    EXPECT_TRUE(odd.starts_with("Greeting-") && odd.ends_with(".wav")) << odd;
}

}  // namespace
}  // namespace velto::ui
