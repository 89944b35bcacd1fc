// The contact dialog, the contact list's menu and the missed-call "add" in every language:
// no text is cut. With VELTO_SHOTS=DIR set, each language's pictures are saved there as
// CODE-contact-dialog.png, CODE-contact-menu.png and CODE-missed-add.png.
#include <QAction>
#include <QFormLayout>
#include <QMenu>
#include <cstdlib>
#include <filesystem>

#include "UiFixture.h"
#include "i18n/Languages.h"
#include "ui/ContactEditor.h"
#include "ui/DialogDriver.h"
#include "ui/MissedCallDialog.h"
#include "ui/PartnerList.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using skype::OnlineStatus;

class ContactPicturesTest : public UiFixture {
  protected:
    void Start() {
        world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
        QtFrontEnd::Options options;
        options.contactsFile = dir_ / "home" / ".config" / "Velto" / "contacts.vcf";
        StartApp(true, std::move(options));
        ASSERT_TRUE(RunUntil([&] { return List().contacts().state().ContactCount() == 1; }));
    }
    PartnerList& List() {
        return *qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content());
    }
    void Save(QWidget& widget, int32_t language, const std::string& what) {
        const char* folder = std::getenv("VELTO_SHOTS");
        if (folder == nullptr || *folder == '\0') {
            return;
        }
        fs::create_directories(folder);
        const fs::path file = fs::path(folder) / (PictureCode(language) + "-" + what + ".png");
        EXPECT_TRUE(widget.grab().save(QString::fromStdString(file.string())));
    }
};

// Every shown label of `widget` gets the width its text needs (or wraps it).
::testing::AssertionResult LabelsFit(QWidget& widget) {
    for (QLabel* label : widget.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&widget) || label->wordWrap() || label->text().isEmpty()) {
            continue;
        }
        if (label->width() < label->sizeHint().width()) {
            return ::testing::AssertionFailure()
                   << "\"" << label->text().toStdString() << "\" gets " << label->width() << " of "
                   << label->sizeHint().width() << " pixels";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ContactPicturesTest, EveryLanguagesTextsFitTheDialogTheMenuAndTheMissedCalls) {
    Start();
    app_->missedCalls().Add({"stranger@example.org", "2026/12/01 10:10:00", false, u""});
    ContactEditor& editor = *frontEnd().contactEditor();
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        SCOPED_TRACE(i18n::LanguageCode(language));
        app_->state().CurrentLanguage = language;

        ContactDialog* dialog = editor.OpenNew("stranger@example.org", "Sam Stranger");
        ASSERT_NE(dialog, nullptr);
        dialog->groupsField()->setText(QStringLiteral("Family, Work"));
        Settle();
        EXPECT_TRUE(LabelsFit(*dialog));
        Save(*dialog, language, "contact-dialog");
        // With the address refused, the sentence wraps under the field.
        dialog->addressField()->setText(QStringLiteral("example.org"));
        dialog->Submit();
        Settle();
        EXPECT_TRUE(dialog->addressError()->isVisibleTo(dialog));
        EXPECT_LE(dialog->addressError()->heightForWidth(dialog->addressError()->width()),
                  dialog->addressError()->height());
        EXPECT_TRUE(LabelsFit(*dialog));
        Save(*dialog, language, "contact-dialog-error");
        dialog->reject();
        Settle();

        std::unique_ptr<QMenu> menu(List().MakeContactMenu(0));
        menu->adjustSize();
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                EXPECT_GE(menu->width(), menu->fontMetrics().horizontalAdvance(action->text()));
            }
        }
        Save(*menu, language, "contact-menu");

        auto* missed = qobject_cast<MissedCallDialog*>(
            DialogDriver::OpenMissedCalls(*app_, &mainWindow(), &List()));
        ASSERT_NE(missed, nullptr);
        Settle();
        ASSERT_NE(missed->addButton(0), nullptr);
        EXPECT_TRUE(missed->addButton(0)->isVisibleTo(missed));
        Save(*missed, language, "missed-add");
        missed->close();
        Settle();
    }
}

}  // namespace
}  // namespace velto::ui::test
