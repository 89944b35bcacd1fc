// From the windows to the call: the user gives a contact their own MP3 through the contact
// list, the ring-back dialog and the file picker; then the contact calls and hears it,
// while another contact still hears the standard tone.
#include <filesystem>

#include "UiFixture.h"
#include "ui/DialogDriver.h"
#include "ui/PartnerList.h"

namespace velto::ui::test {
namespace {

using skype::OnlineStatus;

class OwnToneEndToEnd : public UiFixture {};

TEST_F(OwnToneEndToEnd, ContactHearsTheMp3PickedForThem) {
    const std::filesystem::path mp3 =
        std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios" / "own-tone" / "chime.mp3";
    ASSERT_TRUE(std::filesystem::exists(mp3));
    std::filesystem::create_directories(dir_ / "install");
    std::filesystem::copy_file(
        std::filesystem::path(VELTO_SOURCE_DIR) / "scenarios" / "partner" / "tones" / "harbour.wav",
        dir_ / "install" / "default.wav");
    world_->AddContact({"alice", "Alice Archer", "Alice", OnlineStatus::Online});
    world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
    StartApp();
    ASSERT_TRUE(RunUntil([&] { return app_->state().ContactListFilled.load(); }));
    DialogDriver driver(
        *app_,
        [&] { return qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content()); },
        [&] { return static_cast<QWidget*>(&mainWindow()); },
        [&](const std::function<bool()>& pred) { return RunUntil(pred); });
    std::string why;
    for (const auto& [verb, args] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"select", {"alice"}},
             {"open", {"ringback", "alice"}},
             {"tick", {"own"}},
             {"pick", {mp3.string()}},
             {"ok", {}}}) {
        ASSERT_TRUE(driver.Run(verb, args, why)) << verb << ": " << why;
        Settle();
    }
    const auto entry = app_->userSettings().FindRingBack("alice");
    ASSERT_TRUE(entry);
    ASSERT_EQ(entry->mode, 3);
    const auto tone = app_->userSettings().FindTone(entry->firstId);
    ASSERT_TRUE(tone);
    EXPECT_EQ(tone->title, u"chime.mp3");

    const int32_t alice = world_->IncomingCall("alice");
    ASSERT_TRUE(RunUntil([&] { return !world_->CallSnapshot(alice).heard.empty(); }));
    world_->CallerHangsUp(alice);
    const int32_t bob = world_->IncomingCall("bob");
    ASSERT_TRUE(RunUntil([&] { return !world_->CallSnapshot(bob).heard.empty(); }));
    world_->CallerHangsUp(bob);
    Settle();
    const std::string ownTone = std::filesystem::path(tone->path).string();
    EXPECT_EQ(world_->CallSnapshot(alice).heard.front().file, ownTone);
    EXPECT_EQ(std::filesystem::path(world_->CallSnapshot(bob).heard.front().file).filename(),
              "default.wav");
}

}  // namespace
}  // namespace velto::ui::test
