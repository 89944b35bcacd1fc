#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <functional>

#include "Contrast.h"
#include "UiFixture.h"
#include "core/Messages.h"
#include "core/RegistrySettings.h"
#include "core/SettingFileCodec.h"
#include "i18n/LanguageTable.h"
#include "i18n/Languages.h"
#include "ui/Artwork.h"
#include "ui/CSXButton.h"
#include "ui/Colours.h"
#include "ui/CxSkinButton.h"
#include "ui/DialogDriver.h"
#include "ui/FilePickUpDialog.h"
#include "ui/MissedCallDialog.h"
#include "ui/OptionDialog.h"
#include "ui/OptionGeneralPanel.h"
#include "ui/OptionRbtPanel.h"
#include "ui/OwnSoundPanel.h"
#include "ui/PartnerList.h"
#include "ui/SingleRingToneDialog.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using skype::OnlineStatus;

// A tone-shaped WAV: 16-bit mono at 16000 Hz, `ms` long.
std::string Wav(int ms) {
    const uint32_t bytes = static_cast<uint32_t>(ms) * 32;
    std::string wav = "RIFF";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            wav += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    auto put16 = [&](uint16_t v) {
        wav += static_cast<char>(v & 0xff);
        wav += static_cast<char>(v >> 8);
    };
    put32(36 + bytes);
    wav += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(16000);
    put32(32000);
    put16(2);
    put16(16);
    wav += "data";
    put32(bytes);
    for (uint32_t i = 0; i < bytes / 2; ++i)
        put16(static_cast<uint16_t>((i * 700) & 0x3fff));
    return wav;
}

class DialogsTest : public UiFixture {
  protected:
    void AddContacts() {
        world_->AddContact({"alice", "Alice Archer", "alice", OnlineStatus::Online});
        world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
        world_->AddContact({"carol", "Carol Cruz", "", OnlineStatus::Offline});
    }
    PartnerList& List() {
        auto* list = qobject_cast<PartnerList*>(mainWindow().contactListSlot()->content());
        EXPECT_NE(list, nullptr);
        return *list;
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const ContactListState& state = List().contacts().state();
        for (int row = 0; row < state.RowCount(); ++row) {
            rows.push_back(state.KindOf(row) == ContactListState::RowKind::Option
                               ? "[" + state.ContactAt(row).handle + "]"
                               : state.ContactAt(row).handle);
        }
        return rows;
    }
    void StartWithList() {
        AddContacts();
        StartApp();
        ASSERT_TRUE(RunUntil([&] { return List().contacts().state().ContactCount() == 3; }));
    }
    fs::path ToneFolder() { return *app_->settingFile().UserOwnFolder() / "RingTone"; }
    size_t FilesIn(const fs::path& folder) {
        std::error_code ec;
        size_t count = 0;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            ++count;
        }
        return count;
    }
    // Picks `file` in the open picker and waits until the conversion has reported back.
    bool PickIn(FilePickUpDialog* picker, const fs::path& file) {
        if (picker == nullptr)
            return false;
        picker->SetPath(QString::fromStdString(file.string()));
        picker->accept();
        QPointer<FilePickUpDialog> watched(picker);
        return RunUntil([&] { return watched.isNull() || !watched->busy(); });
    }
};

TEST_F(DialogsTest, ListKeepsOrderSelectionAndFollowsStatusChanges) {
    StartWithList();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "carol"}));
    List().SelectRow(1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "[bob]", "carol"}));
    const QModelIndex option = List().contacts().index(2);
    EXPECT_EQ(option.data().toString(),
              QString::fromStdU16String(i18n::GetText(i18n::TXT_STANDARD_RINGBACK, 3)));
    EXPECT_EQ(List().visualRect(option).height(), 24);

    world_->SetOnlineStatus("alice", OnlineStatus::Offline);
    ASSERT_TRUE(RunUntil([&] { return Rows().front() == "bob"; }));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"bob", "[bob]", "alice", "carol"}));
    world_->AddContact({"aaron", "", "Aaron", OnlineStatus::Online});
    world_->SetOnlineStatus("aaron", OnlineStatus::Away);
    ASSERT_TRUE(RunUntil([&] { return Rows().size() == 5; }));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"aaron", "bob", "[bob]", "alice", "carol"}));
}

TEST_F(DialogsTest, TheKeyboardMovesThroughTheListAndEnterOpensTheChoice) {
    StartWithList();
    PartnerList& list = List();
    EXPECT_NE(list.focusPolicy() & Qt::TabFocus, 0);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "[alice]", "bob", "carol"}));
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "[bob]", "carol"}));
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "carol", "[carol]"}));
    QTest::keyClick(&list, Qt::Key_Down);  // stays on the last
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "carol", "[carol]"}));
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "[bob]", "carol"}));
    QTest::keyClick(&list, Qt::Key_Return);
    Settle();
    SingleRingToneDialog* dialog = list.OpenRingBackDialog(0);  // the one already open
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->choice().handle(), "bob");
    QPointer<SingleRingToneDialog> watched(dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(watched.isNull() || !watched->isVisible());
}

TEST_F(DialogsTest, ContactGetsOwnToneThroughTheDialogs) {
    StartWithList();
    velto::test::WriteFileBytes(dir_ / "mine.wav", Wav(300));
    List().SelectRow(0);
    SingleRingToneDialog* dialog = List().OpenRingBackDialog(0);
    ASSERT_NE(dialog, nullptr);
    dialog->TickRow(dialog->choice().OwnRow());
    ASSERT_TRUE(PickIn(dialog->filePicker(), dir_ / "mine.wav"));
    EXPECT_EQ(dialog->choice().rows()[dialog->choice().OwnRow()].label, u"mine.wav");
    // The new tone can be heard before OK; the button comes back when it has played.
    const int own = dialog->choice().OwnRow();
    ASSERT_TRUE(dialog->playButton(own)->isEnabled());
    dialog->PressPlay(own);
    EXPECT_EQ(dialog->PlayingRow(), own);
    ASSERT_TRUE(RunUntil([&] { return dialog->PlayingRow() == -1; }));
    dialog->accept();
    Settle();
    const auto entry = app_->userSettings().FindRingBack("alice");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->mode, 3);
    const auto tone = app_->userSettings().FindTone(entry->firstId);
    ASSERT_TRUE(tone);
    EXPECT_TRUE(fs::exists(fs::path(tone->path)));
    EXPECT_EQ(List().contacts().index(1).data().toString(), QStringLiteral("mine.wav"));
}

// From a contact's choice, the standard tone's name opens the options on the standard
// ring-back page; what is chosen there shows in the row when they close.
TEST_F(DialogsTest, TheStandardRowLeadsToTheStandardTonePage) {
    StartWithList();
    app_->userSettings().SetStandardTone(0);
    List().SelectRow(0);
    SingleRingToneDialog* dialog = List().OpenRingBackDialog(0);
    ASSERT_NE(dialog, nullptr);
    const int standard = 0;
    EXPECT_EQ(dialog->choice().rows()[standard].description, u"System default");
    dialog->ChangeStandardTone();
    OptionDialog* options = dialog->options();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->activePage(), OptionDialog::kStandardRingBack);
    app_->userSettings().SetOwnToneTitle(u"Harbour bells");
    app_->userSettings().SetStandardTone(1);
    options->accept();
    Settle();
    EXPECT_EQ(dialog->choice().rows()[standard].description, u"Harbour bells");
    dialog->reject();
}

// In every language each choice shows its whole text, and the row (radio, link, play
// button) fits inside the dialog; a user's very long file name alone may lose its end.
TEST_F(DialogsTest, EveryChoiceOfTheRingBackDialogFitsInEveryLanguage) {
    StartWithList();
    app_->userSettings().SetOwnToneTitle(u"Harbour bells");
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        app_->state().CurrentLanguage = language;
        SingleRingToneDialog dialog(*app_, "alice");
        dialog.show();
        Settle();
        const auto& rows = dialog.choice().rows();
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            QRadioButton* radio = dialog.radio(row);
            if (radio == nullptr) {
                continue;
            }
            EXPECT_EQ(radio->text().toStdU16String(), rows[row].label) << language;
            EXPECT_GE(radio->width(), radio->sizeHint().width()) << language << " row " << row;
            CxSkinButton* play = dialog.playButton(row);
            ASSERT_NE(play, nullptr);
            EXPECT_EQ(play->accessibleName().toStdU16String(),
                      i18n::GetText(i18n::TXT_PLAY, language));
            const QPoint right = play->mapTo(&dialog, QPoint(play->width(), 0));
            EXPECT_LE(right.x(), dialog.width()) << language << " row " << row;
        }
        EXPECT_LE(dialog.width(), SingleRingToneDialog::kMaxWidth);
    }
}

TEST_F(DialogsTest, BadPicksShowInvalidFormatAndLeaveNothing) {
    StartWithList();
    velto::test::WriteFileBytes(dir_ / "notes.mp3", "this is no audio at all");
    velto::test::WriteFileBytes(dir_ / "empty.wav", "");
    SingleRingToneDialog* dialog = List().OpenRingBackDialog(0);
    dialog->ChangeOwnTone();
    FilePickUpDialog* picker = dialog->filePicker();
    ASSERT_NE(picker, nullptr);
    const int boxes = frontEnd().qtBoxes().shownCount();
    picker->accept();  // no path
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), boxes + 1);
    const size_t catalogue = app_->userSettings().Catalogue().size();
    for (const char* name : {"notes.mp3", "empty.wav", "gone.wav"}) {
        ASSERT_TRUE(PickIn(picker, dir_ / name));
        Settle();
        ASSERT_EQ(dialog->filePicker(), picker) << name;  // still open
        EXPECT_TRUE(picker->okButton()->isEnabled());
    }
    EXPECT_EQ(frontEnd().qtBoxes().shownCount(), boxes + 4);
    EXPECT_EQ(app_->userSettings().Catalogue().size(), catalogue);
    EXPECT_EQ(FilesIn(ToneFolder()), 0u);
    picker->reject();
    Settle();
    dialog->reject();
    EXPECT_EQ(app_->userSettings().FindRingBack("alice")->mode, 2);
}

TEST_F(DialogsTest, MissedCallsNewestFirstDeleteOneAndPlayAMissingFile) {
    StartWithList();
    velto::test::WriteFileBytes(dir_ / "v2.wav", Wav(200));
    calls::MissedCallList& missed = app_->missedCalls();
    missed.Add({"bob", "2026/12/01 10:00:00", false, u""});
    missed.Add({"bob", "2026/12/01 10:05:00", true, (dir_ / "v2.wav").u16string()});
    missed.Add({"bob", "2026/12/01 10:10:00", true, (dir_ / "gone.wav").u16string()});
    missed.Add({"stranger", "2026/12/01 10:20:00", false, u""});
    missed.SetNewMissedCall();
    MissedCallDialog dialog(*app_);
    EXPECT_FALSE(missed.NewMissedCall());
    ASSERT_EQ(dialog.RowCount(), 4);
    EXPECT_EQ(dialog.row(0).name, u"stranger");
    EXPECT_EQ(dialog.row(0).status, 0);
    EXPECT_EQ(dialog.row(1).name, u"Bob");
    EXPECT_EQ(dialog.row(1).status, 1);

    // The missing voice file plays nothing, gives its button back and stays new.
    dialog.PressPlay(1);
    ASSERT_TRUE(RunUntil([&] { return dialog.PlayingRow() == -1; }));
    EXPECT_FALSE(missed.Snapshot()[2].heard);
    EXPECT_TRUE(dialog.nameLabel(1)->font().bold());

    dialog.show();
    Settle();
    const int y3 = dialog.rowWidget(3)->y();
    dialog.PressDelete(2);  // the middle call of the three
    Settle();
    ASSERT_EQ(dialog.RowCount(), 3);
    EXPECT_EQ(dialog.row(2).record.time, "2026/12/01 10:00:00");
    // The row deleted held a message, and the player's line.
    EXPECT_EQ(dialog.rowWidget(2)->y(), y3 - MissedCallDialog::kMessageRowHeight);
    EXPECT_FALSE(fs::exists(dir_ / "v2.wav"));
    ASSERT_EQ(missed.size(), 3u);
    EXPECT_EQ(missed.Snapshot()[1].time, "2026/12/01 10:10:00");
}

TEST_F(DialogsTest, MissedCallsFollowTheCallersStatusWhileOpen) {
    StartWithList();
    calls::MissedCallList& missed = app_->missedCalls();
    missed.Add({"bob", "2026/12/01 10:00:00", false, u""});
    missed.Add({"carol", "2026/12/01 10:05:00", false, u""});
    missed.Add({"bob", "2026/12/01 10:10:00", false, u""});
    auto* dialog = qobject_cast<MissedCallDialog*>(
        DialogDriver::OpenMissedCalls(*app_, &mainWindow(), &List()));
    ASSERT_NE(dialog, nullptr);
    const auto icon = [&](int row) {
        return dialog->rowWidget(row)->findChild<QLabel*>()->pixmap().toImage();
    };
    const QImage away = ArtworkPixmap(QStringLiteral("status_2"), QSize(16, 16)).toImage();
    ASSERT_NE(icon(0), away);

    // One change arrives as itself, several at once as a rebuild of the whole list.
    world_->SetOnlineStatus("bob", OnlineStatus::Away);
    ASSERT_TRUE(RunUntil([&] { return dialog->row(0).status == 2 && dialog->row(2).status == 2; }));
    EXPECT_EQ(icon(0), away);
    EXPECT_EQ(icon(2), away);
    EXPECT_EQ(dialog->row(1).status, 0);
    world_->SetOnlineStatus("bob", OnlineStatus::Offline);
    world_->SetOnlineStatus("carol", OnlineStatus::Online);
    ASSERT_TRUE(RunUntil([&] {
        return dialog->row(0).status == 0 && dialog->row(1).status == 1 &&
               dialog->row(2).status == 0;
    }));
    EXPECT_EQ(icon(1), ArtworkPixmap(QStringLiteral("status_1"), QSize(16, 16)).toImage());
    dialog->close();
}

TEST_F(DialogsTest, OptionsWithoutSkypeShowAboutOnly) {
    StartApp(false);
    OptionDialog dialog(*app_);
    EXPECT_EQ(dialog.activePage(), OptionDialog::kAbout);
    for (int page : {OptionDialog::kGeneral, OptionDialog::kStandardRingBack,
                     OptionDialog::kRingTone, OptionDialog::kVoiceMail, OptionDialog::kRules}) {
        EXPECT_FALSE(dialog.pageButton(page)->isEnabled()) << page;
    }
    EXPECT_TRUE(dialog.pageButton(OptionDialog::kAbout)->isEnabled());
}

// German page names are the longest: they take two lines rather than being cut short.
TEST_F(DialogsTest, LongPageNamesAreShownWhole) {
    StartWithList();
    app_->state().CurrentLanguage = 2;
    OptionDialog dialog(*app_);
    int twoLines = 0;
    for (int page :
         {OptionDialog::kGeneral, OptionDialog::kStandardRingBack, OptionDialog::kRingTone,
          OptionDialog::kVoiceMail, OptionDialog::kRules, OptionDialog::kAbout}) {
        const QString text = dialog.pageButton(page)->text();
        const QString whole = dialog.pageButton(page)->toolTip();
        EXPECT_TRUE(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) == whole ||
                    QString(text).remove(QLatin1Char('\n')) == whole)
            << text.toStdString();
        twoLines += text.contains(QLatin1Char('\n')) ? 1 : 0;
    }
    EXPECT_GE(twoLines, 1);
}

// Under a dark desktop theme the texts of every options page and of the ring-back dialog
// stand out from the body they sit on (white on white was the fault).
TEST_F(DialogsTest, UnderADarkThemeEveryTextIsReadable) {
    StartWithList();
    const QPalette before = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    EXPECT_TRUE(IsDark(QApplication::palette()));
    // The text's colour against what the window really painted behind it (a corner of
    // the widget, where no text goes).
    const auto check = [&](QWidget* root, const std::string& where) {
        const QImage painted = root->window()->grab().toImage();
        int checked = 0;
        for (QWidget* widget : root->findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(widget);
            auto* button = qobject_cast<QAbstractButton*>(widget);
            const QString text = label ? label->text() : button ? button->text() : QString();
            // Disabled texts are meant to be faint; push buttons and skinned buttons paint
            // their own faces.
            if (text.isEmpty() || !widget->isVisible() || !widget->isEnabled() ||
                qobject_cast<QPushButton*>(widget) || qobject_cast<CSXButton*>(widget) ||
                qobject_cast<CxSkinButton*>(widget)) {
                continue;
            }
            const QPoint corner = widget->mapTo(root->window(), QPoint(widget->width() - 1, 0));
            const QColor behind = painted.pixelColor(corner);
            const QColor ink = widget->palette().color(widget->foregroundRole());
            // Bold texts (the titles) may do with less, as large text does.
            const double needed = widget->font().bold() ? 3.0 : 4.5;
            EXPECT_GE(Contrast(ink, behind), needed) << where << ": " << text.toStdString();
            ++checked;
        }
        return checked;
    };
    OptionDialog options(*app_);
    options.show();
    int texts = 0;
    for (int page :
         {OptionDialog::kGeneral, OptionDialog::kStandardRingBack, OptionDialog::kRingTone,
          OptionDialog::kVoiceMail, OptionDialog::kRules, OptionDialog::kAbout}) {
        options.pageButton(page)->click();
        Settle();
        texts += check(options.page(page), "options page " + std::to_string(page));
    }
    SingleRingToneDialog ringBack(*app_, "alice");
    ringBack.show();
    Settle();
    texts += check(&ringBack, "ring-back dialog");
    EXPECT_GE(texts, 15);
    QApplication::setPalette(before);
}

// Texts that do not fit their widget in `root`: a one-line text wider than its room, or a
// wrapped one taller than its room.
std::vector<std::string> CutTexts(QWidget* root, int* looked = nullptr) {
    std::vector<std::string> cut;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            const QString text = label->text();
            if (text.isEmpty() || label->textFormat() == Qt::RichText ||
                Qt::mightBeRichText(text)) {
                continue;
            }
            const QRect room = label->contentsRect();
            if (looked != nullptr) {
                ++*looked;
            }
            const bool fits = label->wordWrap()
                                  ? label->heightForWidth(room.width()) <= room.height()
                                  : label->fontMetrics().horizontalAdvance(text) <= room.width();
            if (!fits) {
                cut.push_back(text.toStdString());
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text().isEmpty() || qobject_cast<CxSkinButton*>(widget)) {
                continue;
            }
            if (looked != nullptr) {
                ++*looked;
            }
            if (button->sizeHint().width() > button->width()) {
                cut.push_back(button->text().toStdString());
            }
        }
    }
    return cut;
}

// Every options page, the missed-call list, a contact's ring-back dialog and the main window
// in every language: no text cut.
TEST_F(DialogsTest, NoTextIsCutInAnyLanguage) {
    StartWithList();
    int looked = 0;
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        app_->state().CurrentLanguage = language;
        OptionDialog options(*app_);
        options.show();
        for (int page :
             {OptionDialog::kGeneral, OptionDialog::kStandardRingBack, OptionDialog::kRingTone,
              OptionDialog::kVoiceMail, OptionDialog::kRules, OptionDialog::kAbout}) {
            options.pageButton(page)->click();
            Settle();
            for (const std::string& text : CutTexts(options.page(page), &looked)) {
                ADD_FAILURE() << "language " << language << ", page " << page << ": " << text;
            }
            // The page's name in the column: on one or two lines, never cut short.
            const QString name = options.pageButton(page)->text();
            EXPECT_FALSE(name.contains(QChar(0x2026)))
                << "language " << language << ", page button: " << name.toStdString();
        }
        MissedCallDialog missed(*app_, nullptr);
        missed.show();
        Settle();
        for (const std::string& text : CutTexts(&missed, &looked)) {
            ADD_FAILURE() << "language " << language << ", missed calls: " << text;
        }
        SingleRingToneDialog ringBack(*app_, "alice");
        ringBack.show();
        Settle();
        for (const std::string& text : CutTexts(&ringBack, &looked)) {
            ADD_FAILURE() << "language " << language << ", ring-back dialog: " << text;
        }
        for (const std::string& text : CutTexts(&mainWindow(), &looked)) {
            ADD_FAILURE() << "language " << language << ", main window: " << text;
        }
    }
    // Every page's texts were looked at: about twenty a language.
    EXPECT_GE(looked, 15 * 20);
}

TEST_F(DialogsTest, CancelPutsBackStartUpAndPicks) {
    StartWithList();
    app_->registrySettings().SetAutoStart(true);
    const fs::path autostart = dir_ / "home" / ".config" / "autostart";
    const size_t entries = FilesIn(autostart);
    ASSERT_GT(entries, 0u);
    velto::test::WriteFileBytes(dir_ / "a.wav", Wav(200));
    velto::test::WriteFileBytes(dir_ / "b.wav", Wav(200));
    {
        OptionDialog dialog(*app_);
        auto* general = static_cast<OptionGeneralPanel*>(dialog.page(OptionDialog::kGeneral));
        general->autoStart()->click();
        EXPECT_FALSE(app_->state().AutoStartEnabled);
        EXPECT_EQ(FilesIn(autostart), entries - 1);
        auto* ring = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kRingTone));
        ASSERT_TRUE(PickIn(ring->Browse(), dir_ / "a.wav"));
        Settle();
        ASSERT_TRUE(PickIn(ring->Browse(), dir_ / "b.wav"));
        Settle();
        EXPECT_EQ(ring->title()->text(), QStringLiteral("b.wav"));
        EXPECT_EQ(FilesIn(ToneFolder()), 1u);
        dialog.reject();
        EXPECT_EQ(dialog.result(), OptionDialog::kResultCancel);
    }
    EXPECT_TRUE(app_->state().AutoStartEnabled);
    EXPECT_EQ(FilesIn(autostart), entries);
    EXPECT_EQ(FilesIn(ToneFolder()), 0u);
    EXPECT_EQ(app_->userSettings().Catalogue().size(), 1u);
    EXPECT_TRUE(app_->userSettings().UseDefaultRingTone());
}

// Voice mail off takes only the two greeting choices out of reach; both sides of the
// switch, and Cancel puts it back.
TEST_F(DialogsTest, VoiceMailOffDisablesOnlyTheGreetingChoice) {
    StartWithList();
    const bool before = app_->userSettings().VoiceMailOn();
    OptionDialog dialog(*app_);
    auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
    for (int click = 0; click < 2; ++click) {
        voice->voiceMail()->click();
        const bool on = voice->voiceMail()->isChecked();
        EXPECT_EQ(app_->userSettings().VoiceMailOn(), on);
        EXPECT_EQ(voice->radio(OwnSoundPanel::kDefaultRadio)->isEnabled(), on);
        EXPECT_EQ(voice->radio(OwnSoundPanel::kOwnRadio)->isEnabled(), on);
        EXPECT_EQ(voice->limits()->isEnabled(), on);
        EXPECT_TRUE(voice->playButton(OwnSoundPanel::kPlayDefault)->isEnabled());
    }
    voice->voiceMail()->click();
    EXPECT_NE(app_->userSettings().VoiceMailOn(), before);
    // The limits show the settings in seconds and minutes and change them at once.
    EXPECT_EQ(voice->limits()->spin(VoiceMailLimitsBox::kSilence)->value(), 6);
    EXPECT_EQ(voice->limits()->spin(VoiceMailLimitsBox::kLength)->value(), 5);
    voice->limits()->spin(VoiceMailLimitsBox::kSilence)->setValue(10);
    voice->limits()->spin(VoiceMailLimitsBox::kVoice)->setValue(2);
    EXPECT_EQ(app_->userSettings().VoiceMailLimits(), (core::VoiceMailLimits{10000, 2000, 300000}));
    dialog.reject();
    EXPECT_EQ(app_->userSettings().VoiceMailOn(), before);
    EXPECT_EQ(app_->userSettings().VoiceMailLimits(), core::VoiceMailLimits{});
}

// The tone pages are filled in from the shared rows and the page's own widgets after them;
// Tab still walks them from top to bottom.
TEST_F(DialogsTest, TonePagesTabFromTopToBottom) {
    StartWithList();
    OptionDialog dialog(*app_);
    // The page's widgets that Tab stops at, in the order it does.
    const auto tabOrder = [](QWidget* page) {
        std::vector<QWidget*> order;
        for (QWidget* at = page->nextInFocusChain(); at != page; at = at->nextInFocusChain()) {
            if (page->isAncestorOf(at) && (at->focusPolicy() & Qt::TabFocus) != 0) {
                order.push_back(at);
            }
        }
        return order;
    };
    const auto inFocusOrder = [&](QWidget* page, std::initializer_list<QWidget*> widgets) {
        const std::vector<QWidget*> order = tabOrder(page);
        auto at = order.begin();
        for (QWidget* expected : widgets) {
            at = std::find(at, order.end(), expected);
            if (at == order.end()) {
                return false;
            }
        }
        return true;
    };
    auto* voice = static_cast<OwnSoundPanel*>(dialog.page(OptionDialog::kVoiceMail));
    EXPECT_TRUE(inFocusOrder(voice, {voice->voiceMail(), voice->radio(OwnSoundPanel::kDefaultRadio),
                                     voice->radio(OwnSoundPanel::kOwnRadio),
                                     voice->limits()->spin(VoiceMailLimitsBox::kSilence),
                                     voice->limits()->spin(VoiceMailLimitsBox::kVoice),
                                     voice->limits()->spin(VoiceMailLimitsBox::kLength)}));
    auto* rbt = static_cast<OptionRbtPanel*>(dialog.page(OptionDialog::kStandardRingBack));
    EXPECT_TRUE(inFocusOrder(
        rbt, {rbt->radio(OptionRbtPanel::kDefaultRadio), rbt->radio(OptionRbtPanel::kOwnRadio),
              rbt->radio(OptionRbtPanel::kPartnerRadio), rbt->partnerList()}));
}

TEST_F(DialogsTest, LanguageSwitchesAtOnce) {
    StartWithList();
    OptionDialog dialog(*app_);
    auto* general = static_cast<OptionGeneralPanel*>(dialog.page(OptionDialog::kGeneral));
    general->languages()->setCurrentIndex(2);
    emit general->languages()->activated(2);
    Settle();
    EXPECT_EQ(app_->state().CurrentLanguage, 2);
    EXPECT_EQ(dialog.windowTitle(), QString::fromStdU16String(i18n::GetText(i18n::TXT_OPTIONS, 2)));
}

// Every check box and radio pair of the options dialog, from the side it shows to the other
// and back: OK keeps the side the control shows, on disk too, and Cancel after a click
// gives back the side it opened with; on the pages saved at OK the file stays as it was.
TEST_F(DialogsTest, EachControlOkSavesItsSideAndCancelKeepsTheOneBefore) {
    StartWithList();
    core::UserSettings& settings = app_->userSettings();
    // Own sounds to choose, so that the own radios choose rather than ask for a file.
    settings.SetRingToneSource("ring.mp3");
    settings.SetGreetingSource("hello.mp3");
    settings.SetOwnToneTitle(u"Mine");
    settings.SetOwnToneSource(u"mine.mp3");
    ASSERT_TRUE(app_->settingFile().SaveSettingFile());
    const fs::path file = *app_->settingFile().SettingFilePath();
    const auto saved = [&]() -> core::SettingFileContents {
        const auto decoded = core::DecodeSettingFile(velto::test::ReadFileBytes(file));
        EXPECT_TRUE(decoded.contents);
        return decoded.contents.value_or(core::SettingFileContents{});
    };
    const auto hive = [&](const char* name) {
        platform::Registry registry(
            {dir_ / "home/.config/Velto/user.reg", dir_ / "machine.reg", std::nullopt});
        uint32_t value = 0x1234;
        registry.QueryDword(platform::RegRoot::CurrentUser, core::kVeltoKey, name, value);
        return value == 0xFFFFFFFFu ? 1 : value == 0 ? 0 : -1;
    };
    const auto general = [](OptionDialog& d) {
        return static_cast<OptionGeneralPanel*>(d.page(OptionDialog::kGeneral));
    };
    const auto voice = [](OptionDialog& d) {
        return static_cast<OwnSoundPanel*>(d.page(OptionDialog::kVoiceMail));
    };
    const auto ring = [](OptionDialog& d) {
        return static_cast<OwnSoundPanel*>(d.page(OptionDialog::kRingTone));
    };
    const auto rbt = [](OptionDialog& d) {
        return static_cast<OptionRbtPanel*>(d.page(OptionDialog::kStandardRingBack));
    };
    struct Control {
        const char* name;
        // The button that gives `side`; a check box is clicked only when it shows the other.
        std::function<QAbstractButton*(OptionDialog&, bool side)> button;
        std::function<bool()> memory;
        std::function<int()> stored;  // 1, 0; -1: neither
        bool savedAtOk;               // false: stored at the click (the General page)
    };
    const std::vector<Control> controls{
        {"start at login", [&](OptionDialog& d, bool) { return general(d)->autoStart(); },
         [&] { return app_->state().AutoStartEnabled.load(); }, [&] { return hive("AutoStart"); },
         false},
        {"tone message", [&](OptionDialog& d, bool) { return general(d)->friendMsg(); },
         [&] { return app_->state().FriendMsgEnabled.load(); }, [&] { return hive("FriendMsg"); },
         false},
        {"voice mail", [&](OptionDialog& d, bool) { return voice(d)->voiceMail(); },
         [&] { return settings.VoiceMailOn(); }, [&] { return saved().voiceMailOn ? 1 : 0; }, true},
        {"default greeting",
         [&](OptionDialog& d, bool side) {
             return voice(d)->radio(side ? OwnSoundPanel::kDefaultRadio : OwnSoundPanel::kOwnRadio);
         },
         [&] { return settings.UseDefaultGreeting(); },
         [&] { return saved().useDefaultGreeting ? 1 : 0; }, true},
        {"default ring tone",
         [&](OptionDialog& d, bool side) {
             return ring(d)->radio(side ? OwnSoundPanel::kDefaultRadio : OwnSoundPanel::kOwnRadio);
         },
         [&] { return settings.UseDefaultRingTone(); },
         [&] { return saved().useDefaultRingTone ? 1 : 0; }, true},
        {"default standard tone",
         [&](OptionDialog& d, bool side) {
             return rbt(d)->radio(side ? OptionRbtPanel::kDefaultRadio : OptionRbtPanel::kOwnRadio);
         },
         [&] { return settings.StandardTone() == 0; },
         [&] {
             const int32_t tone = saved().standardTone;
             return tone == 0 ? 1 : tone == 1 ? 0 : -1;
         },
         true},
    };
    const auto reach = [](QAbstractButton* button, bool side) {
        if (!button->isCheckable() || !button->autoExclusive()) {
            if (button->isChecked() != side) {
                button->click();
            }
        } else {
            button->click();
        }
    };
    for (const Control& control : controls) {
        const bool opened = control.memory();
        for (bool side : {!opened, opened}) {
            SCOPED_TRACE(std::string(control.name) + (side ? ": on" : ": off"));
            {
                OptionDialog dialog(*app_);
                QAbstractButton* shown = control.button(dialog, true);
                if (!shown->autoExclusive()) {
                    EXPECT_EQ(shown->isChecked(), !side);  // the box shows the setting
                }
                reach(control.button(dialog, side), side);
                EXPECT_EQ(control.memory(), side);
                dialog.accept();
                EXPECT_EQ(dialog.result(), OptionDialog::kResultOk);
            }
            EXPECT_EQ(control.memory(), side);
            EXPECT_EQ(control.stored(), side ? 1 : 0);
            const std::string before = velto::test::ReadFileBytes(file);
            {
                OptionDialog dialog(*app_);
                reach(control.button(dialog, !side), !side);
                EXPECT_EQ(control.memory(), !side);
                EXPECT_EQ(control.stored(), control.savedAtOk ? (side ? 1 : 0) : (side ? 0 : 1));
                dialog.reject();
            }
            EXPECT_EQ(control.memory(), side);
            EXPECT_EQ(control.stored(), side ? 1 : 0);
            if (control.savedAtOk) {
                EXPECT_EQ(velto::test::ReadFileBytes(file), before);
            }
        }
    }
}

}  // namespace
}  // namespace velto::ui::test
