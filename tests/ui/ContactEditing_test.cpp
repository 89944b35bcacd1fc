// The contacts edited in the window: the contact list's menu, the contact dialog, the
// missed-call dialog's "add", and what lands in the contact file.
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <filesystem>

#include "UiFixture.h"
#include "i18n/LanguageTable.h"
#include "sipaccount/ContactBook.h"
#include "sipaccount/ContactFile.h"
#include "ui/ContactEditor.h"
#include "ui/DialogDriver.h"
#include "ui/MissedCallDialog.h"
#include "ui/PartnerList.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using skype::OnlineStatus;
using skype::sip::SipContact;

class ContactEditingTest : public UiFixture {
  protected:
    fs::path ContactsFile() { return dir_ / "home" / ".config" / "Velto" / "contacts.vcf"; }
    void Start() {
        world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
        QtFrontEnd::Options options;
        options.contactsFile = ContactsFile();
        StartApp(true, std::move(options));
        ASSERT_TRUE(RunUntil([&] { return List().contacts().state().ContactCount() == 1; }));
    }
    PartnerList& List() {
        return *qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content());
    }
    ContactEditor& Editor() { return *frontEnd().contactEditor(); }
    std::vector<SipContact> OnDisk() {
        const auto read = skype::sip::ReadContactFile(ContactsFile());
        EXPECT_EQ(read.error, "");
        return read.contacts;
    }
    int Reloads() {
        int count = 0;
        for (const auto& command : world_->Commands()) {
            count += command.text == "RELOAD CONTACTS" ? 1 : 0;
        }
        return count;
    }
    static QString T(i18n::TextKey key) { return QString::fromStdU16String(i18n::GetText(key, 3)); }
    // Fills the open dialog and presses OK; true when it closed.
    bool Submit(const QString& name, const QString& nickname, const QString& address,
                const QString& groups) {
        QPointer<ContactDialog> dialog = Editor().dialog();
        if (!dialog) {
            return false;
        }
        dialog->nameField()->setText(name);
        dialog->nicknameField()->setText(nickname);
        dialog->addressField()->setText(address);
        dialog->groupsField()->setText(groups);
        dialog->okButton()->click();
        Settle();
        return dialog.isNull() || !dialog->isVisible();
    }
};

TEST_F(ContactEditingTest, TheListsMenuAddsEditsAndRemovesAndTheFileFollows) {
    Start();
    // On no contact: new, import, export (nothing to export yet).
    std::unique_ptr<QMenu> menu(List().MakeContactMenu(-1));
    ASSERT_NE(menu, nullptr);
    std::vector<QString> texts;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            texts.push_back(action->text());
        }
    }
    EXPECT_EQ(texts, (std::vector<QString>{T(i18n::TXT_CONTACT_NEW), T(i18n::TXT_CONTACT_IMPORT),
                                           T(i18n::TXT_CONTACT_EXPORT)}));
    EXPECT_FALSE(menu->actions().back()->isEnabled());
    menu->actions().front()->trigger();
    ASSERT_NE(Editor().dialog(), nullptr);
    EXPECT_EQ(Editor().dialog()->windowTitle(), T(i18n::TXT_CONTACT_NEW));

    // A bad address is named beside its field; nothing is saved and the dialog stays.
    EXPECT_FALSE(Submit("Dora", "", "example.org", ""));
    EXPECT_TRUE(Editor().dialog()->addressError()->isVisibleTo(Editor().dialog()));
    EXPECT_EQ(Editor().dialog()->addressError()->text(), T(i18n::TXT_CONTACT_BAD_URI));
    EXPECT_FALSE(fs::exists(ContactsFile()));
    ASSERT_TRUE(Submit("Dora Diaz", "Do", "dora@example.org", "Family, Choir"));
    auto disk = OnDisk();
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_EQ(disk[0].fullName, "Dora Diaz");
    EXPECT_EQ(disk[0].nickname, "Do");
    EXPECT_EQ(disk[0].address.Uri(), "sip:dora@example.org");
    EXPECT_EQ(disk[0].groups, (std::vector<std::string>{"Family", "Choir"}));
    // The backend is asked to read the file again (and so to watch the new contact).
    EXPECT_EQ(Reloads(), 1);

    // A contact added meanwhile with velto-account is kept by the window's next save.
    {
        auto outside = OnDisk();
        SipContact extra;
        ASSERT_TRUE(skype::sip::MakeContact("Ed", "", "ed@example.org", "", extra).ok());
        outside.push_back(extra);
        std::string error;
        ASSERT_TRUE(skype::sip::WriteContactFile(ContactsFile(), outside, error));
        EXPECT_TRUE(Editor().Remove("ed@example.org"));
        ASSERT_EQ(OnDisk().size(), 1u);
    }

    // The same address again is refused beside the address.
    Editor().OpenNew();
    EXPECT_FALSE(Submit("Other", "", "sip:dora@example.org", ""));
    EXPECT_EQ(Editor().dialog()->addressError()->text(), T(i18n::TXT_CONTACT_DUPLICATE));
    Editor().dialog()->reject();
    Settle();

    // Edit: the dialog starts with the contact's fields.
    ContactDialog* edit = Editor().OpenEdit("dora@example.org");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->windowTitle(), T(i18n::TXT_CONTACT_EDIT));
    EXPECT_EQ(edit->groupsField()->text(), QStringLiteral("Family, Choir"));
    EXPECT_EQ(edit->addressField()->text(), QStringLiteral("sip:dora@example.org"));
    ASSERT_TRUE(Submit("Dora D.", "", "dora@example.org:5070", "Work"));
    disk = OnDisk();
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_EQ(disk[0].fullName, "Dora D.");
    EXPECT_EQ(disk[0].nickname, "");
    EXPECT_EQ(disk[0].address.Uri(), "sip:dora@example.org:5070");
    EXPECT_EQ(disk[0].groups, (std::vector<std::string>{"Work"}));

    // Remove asks first (the test's boxes answer Yes).
    EXPECT_TRUE(Editor().Remove("dora@example.org"));
    EXPECT_TRUE(OnDisk().empty());
    EXPECT_EQ(Reloads(), 4);
    // A client contact the file does not hold cannot be edited from its row.
    std::unique_ptr<QMenu> rowMenu(List().MakeContactMenu(0));
    ASSERT_EQ(rowMenu->actions().size(), 6);
    EXPECT_EQ(rowMenu->actions()[1]->text(), T(i18n::TXT_CONTACT_EDIT));
    EXPECT_FALSE(rowMenu->actions()[1]->isEnabled());
    EXPECT_FALSE(rowMenu->actions()[2]->isEnabled());
}

TEST_F(ContactEditingTest, ImportExportAndADamagedFileAreToldToTheUser) {
    fs::create_directories(ContactsFile().parent_path());
    const std::string damaged =
        "BEGIN:VCARD\r\nFN:Alice\r\nIMPP:sip:alice@example.org\r\nEND:VCARD\r\nBEGIN:VCARD\r\n";
    velto::test::WriteFileBytes(ContactsFile(), damaged);
    Start();
    Settle();
    // Kept aside, the good card written back, and the user told once the window is up.
    EXPECT_EQ(velto::test::ReadFileBytes(ContactsFile().string() + ".bad-1"), damaged);
    ASSERT_EQ(OnDisk().size(), 1u);
    EXPECT_TRUE(trace_.Contains("is kept as"));
    EXPECT_GE(frontEnd().qtBoxes().shownCount(), 1);
    // The backend may have read the damaged file: the first list after it reads it again.
    EXPECT_GE(Reloads(), 1);

    velto::test::WriteFileBytes(
        dir_ / "phone.vcf",
        "BEGIN:VCARD\r\nFN:Erin\r\nCATEGORIES:Work\r\nIMPP:sip:erin@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Alice again\r\nIMPP:sip:alice@example.org\r\nEND:VCARD\r\n");
    const int boxes = frontEnd().qtBoxes().shownCount();
    const auto report = Editor().Import(dir_ / "phone.vcf");
    EXPECT_EQ(report.added, 1u);
    EXPECT_EQ(report.known, 1u);
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), boxes + 1);
    ASSERT_EQ(OnDisk().size(), 2u);
    EXPECT_EQ(OnDisk()[1].groups, (std::vector<std::string>{"Work"}));

    ASSERT_TRUE(Editor().Export(dir_ / "exported.vcf"));
    const auto exported = skype::sip::ReadContactFile(dir_ / "exported.vcf");
    ASSERT_EQ(exported.contacts.size(), 2u);
    EXPECT_EQ(exported.contacts[1].address.Uri(), "sip:erin@example.org");
    EXPECT_EQ(exported.contacts[1].groups, (std::vector<std::string>{"Work"}));
    // A place that cannot be written is said, not passed over.
    EXPECT_FALSE(Editor().Export(dir_ / "phone.vcf" / "x.vcf"));
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), boxes + 2);
}

TEST_F(ContactEditingTest, AMissedCallersAddressBecomesAContact) {
    Start();
    calls::MissedCallList& missed = app_->missedCalls();
    missed.Add({"bob", "2026/12/01 10:00:00", false, u""});
    missed.Add({"anonymous@anonymous.invalid", "2026/12/01 10:05:00", false, u""});
    missed.Add({"stranger@example.org", "2026/12/01 10:10:00", false, u""});
    auto* dialog = qobject_cast<MissedCallDialog*>(
        DialogDriver::OpenMissedCalls(*app_, &mainWindow(), &List()));
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->RowCount(), 3);
    // Only the unknown caller with an address can be added.
    ASSERT_NE(dialog->addButton(0), nullptr);
    EXPECT_EQ(dialog->addButton(1), nullptr);
    EXPECT_EQ(dialog->addButton(2), nullptr);
    EXPECT_EQ(dialog->addButton(0)->accessibleName(), T(i18n::TXT_CONTACT_ADD_CALLER));

    dialog->addButton(0)->click();
    ASSERT_NE(Editor().dialog(), nullptr);
    EXPECT_EQ(Editor().dialog()->addressField()->text(),
              QStringLiteral("sip:stranger@example.org"));
    ASSERT_TRUE(Submit("Sam Stranger", "Sam", "sip:stranger@example.org", ""));
    ASSERT_EQ(OnDisk().size(), 1u);
    EXPECT_EQ(OnDisk()[0].address.Handle(), "stranger@example.org");
    // The row names the new contact and offers no second "add".
    EXPECT_TRUE(dialog->addButton(0)->isHidden());
    EXPECT_TRUE(dialog->row(0).known);
    dialog->close();
}

}  // namespace
}  // namespace velto::ui::test
