// Pictures of the contact list and every dialog and page, for looking at: only when
// VELTO_SHOT_DIR names a folder (scripts/dialog-shots), in English, German, Japanese and
// Chinese (Simplified), with a contact list of realistic length and one long name.
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "UiFixture.h"
#include "ui/DialogDriver.h"
#include "ui/PartnerList.h"

namespace velto::ui::test {
namespace {

using skype::OnlineStatus;

struct Person {
    const char* handle;
    const char* fullName;
    const char* displayName;
    OnlineStatus status;
};

constexpr Person kPeople[] = {
    {"anna.lindqvist", "Anna Lindqvist", "Anna", OnlineStatus::Online},
    {"ben.okafor", "Ben Okafor", "", OnlineStatus::Away},
    {"chen.jing", "Chen Jing", "\xe9\x99\x88\xe9\x9d\x99", OnlineStatus::Online},
    {"david.moreau", "David Moreau", "david", OnlineStatus::Offline},
    {"elif.kaya", "Elif Kaya", "Elif", OnlineStatus::DoNotDisturb},
    {"felix.braun", "Felix Braun", "Felix", OnlineStatus::Offline},
    {"grace.ho", "Grace Ho", "", OnlineStatus::Online},
    {"hiroshi.sato", "Hiroshi Sato", "\xe4\xbd\x90\xe8\x97\xa4 \xe5\x8d\x9a",
     OnlineStatus::NotAvailable},
    {"ines.ferreira", "In\xc3\xaas Ferreira", "In\xc3\xaas", OnlineStatus::Offline},
    {"jonas.weber", "Jonas Weber", "jonas", OnlineStatus::Online},
    {"katarzyna.nowak", "Katarzyna Nowak", "Kasia", OnlineStatus::Offline},
    {"lucas.martin", "Lucas Martin", "", OnlineStatus::Offline},
    {"max.featherstonehaugh", "Maximilian Alexander von Featherstonehaugh-Wittelsbach", "",
     OnlineStatus::Online},
    {"nadia.rahman", "Nadia Rahman", "Nadia", OnlineStatus::Offline},
    {"oscar.nilsson", "Oscar Nilsson", "", OnlineStatus::Away},
    {"priya.nair", "Priya Nair", "Priya", OnlineStatus::Offline},
    {"rosa.garcia",
     "Rosa Garc\xc3\xad"
     "a",
     "Rosa", OnlineStatus::Online},
    {"sven.larsen", "Sven Larsen", "", OnlineStatus::Offline},
    {"tomoko.ito", "Tomoko Ito", "\xe4\xbc\x8a\xe8\x97\xa4 \xe6\x99\xba\xe5\xad\x90",
     OnlineStatus::Offline},
    {"wang.lei", "Wang Lei", "\xe7\x8e\x8b\xe7\xa3\x8a", OnlineStatus::Online},
};

class DialogShots : public UiFixture, public ::testing::WithParamInterface<int> {
  protected:
    void Save(QWidget* widget, const std::string& name) {
        ASSERT_NE(widget, nullptr) << name;
        Settle();
        const std::filesystem::path file =
            std::filesystem::path(folder_) / (tag_ + "-" + name + ".png");
        EXPECT_TRUE(widget->grab().save(QString::fromStdString(file.string()))) << file;
    }
    bool Do(DialogDriver& driver, const std::string& verb, std::vector<std::string> args = {}) {
        std::string why;
        const bool done = driver.Run(verb, args, why);
        EXPECT_TRUE(done) << verb << ": " << why;
        Settle();
        return done;
    }

    std::string folder_;
    std::string tag_;
};

TEST_P(DialogShots, EveryDialogAndPage) {
    const char* folder = std::getenv("VELTO_SHOT_DIR");
    if (folder == nullptr) {
        GTEST_SKIP() << "VELTO_SHOT_DIR is not set";
    }
    folder_ = folder;
    const int language = GetParam();
    tag_ = language == 3 ? "en" : language == 2 ? "de" : language == 7 ? "ja" : "zh";
    for (const Person& person : kPeople) {
        world_->AddContact({person.handle, person.fullName, person.displayName, person.status});
    }
    QtFrontEnd::Options options;
    options.language = language;
    StartApp(true, std::move(options));
    ASSERT_TRUE(RunUntil([&] { return app_->state().ContactListFilled.load(); }));
    app_->state().CurrentLanguage = language;
    calls::MissedCallList& missed = app_->missedCalls();
    missed.Add({"ben.okafor", "2026/12/08 09:12:40", false, u""});
    missed.Add({"hiroshi.sato", "2026/12/08 11:03:05", true, u"/nonexistent/voice.wav"});
    missed.Add({"+4930123456", "2026/12/08 14:27:51", false, u""});
    missed.Add({"ben.okafor", "2026/12/08 16:45:12", false, u""});
    mainWindow().show();
    DialogDriver driver(
        *app_,
        [&] { return qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content()); },
        [&] { return static_cast<QWidget*>(&mainWindow()); },
        [&](const std::function<bool()>& pred) { return RunUntil(pred); });
    Save(&mainWindow(), "contact-list");
    Do(driver, "select", {"max.featherstonehaugh"});
    Save(&mainWindow(), "contact-list-selected");
    Do(driver, "open", {"ringback", "max.featherstonehaugh"});
    Save(DialogDriver::TopDialog(), "ringback-dialog");
    Do(driver, "change");
    Save(DialogDriver::TopDialog(), "file-picker");
    Do(driver, "cancel");
    Do(driver, "cancel");
    Do(driver, "open", {"missed-calls"});
    Save(DialogDriver::TopDialog(), "missed-calls");
    Do(driver, "cancel");
    Do(driver, "open", {"options"});
    Save(DialogDriver::TopDialog(), "options-general");
    for (const char* page : {"ringback", "ringtone", "voicemail", "about"}) {
        Do(driver, "page", {page});
        Save(DialogDriver::TopDialog(), std::string("options-") + page);
    }
    Do(driver, "cancel");
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogShots, ::testing::Values(3, 2, 7, 0));

}  // namespace
}  // namespace velto::ui::test
