#include <QAbstractButton>
#include <QLayout>
#include <QTest>
#include <filesystem>

#include "UiFixture.h"
#include "i18n/LanguageTable.h"
#include "i18n/Languages.h"
#include "rules/RuleWords.h"
#include "rules/RulesCodec.h"
#include "rules/RulesFile.h"
#include "ui/OptionDialog.h"
#include "ui/OptionRulesPanel.h"
#include "ui/RuleEditDialog.h"

namespace velto::ui::test {
namespace {

namespace fs = std::filesystem;
using skype::OnlineStatus;

rules::Rule Words(std::vector<std::string> words) {
    rules::ParsedRuleWords parsed = rules::ParseRuleWords(words, {});
    EXPECT_TRUE(parsed.rule) << parsed.error;
    return parsed.rule.value_or(rules::Rule{});
}

std::string Encoded(const rules::RuleList& list) {
    return rules::EncodeRules(list);
}

class RulesPageTest : public UiFixture {
  protected:
    void StartWithContacts() {
        world_->AddContact({"alice", "Alice Archer", "Alice", OnlineStatus::Online});
        world_->AddContact({"bob", "Bob Baker", "Bob", OnlineStatus::Online});
        world_->AddContact({"mum", "Mary Archer", "Mum", OnlineStatus::Offline});
        world_->SetGroups("alice", {"Family"});
        world_->SetGroups("mum", {"Family"});
        StartApp();
        ASSERT_TRUE(RunUntil([&] { return app_->settingFile().UserOwnFolder().has_value(); }));
    }
    fs::path RulesPath() { return *app_->settingFile().UserOwnFolder() / rules::kRulesFileName; }
    void WriteRules(const rules::RuleList& list) {
        fs::create_directories(RulesPath().parent_path());
        ASSERT_EQ(rules::SaveRulesFile(RulesPath(), list), 0);
    }
    std::string FileText() {
        std::error_code error;
        if (!fs::exists(RulesPath(), error)) {
            return "(none)";
        }
        return velto::test::ReadFileBytes(RulesPath());
    }
    static OptionRulesPanel* Page(OptionDialog& dialog) {
        dialog.pageButton(OptionDialog::kRules)->click();
        return static_cast<OptionRulesPanel*>(dialog.page(OptionDialog::kRules));
    }
    static std::vector<std::string> Shown(OptionRulesPanel* page) {
        std::vector<std::string> rows;
        for (int row = 0; row < page->list()->count(); ++row) {
            const QListWidgetItem* item = page->list()->item(row);
            rows.push_back((item->checkState() == Qt::Checked ? "+" : "-") +
                           item->text().toStdString());
        }
        return rows;
    }
    static void Tick(RuleEditDialog* editor, const QString& caller) {
        const auto found = editor->callers()->findItems(caller, Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1) << caller.toStdString();
        found.front()->setCheckState(Qt::Checked);
    }
    // Picks the caller (by the name shown) and the moment in the preview.
    static void Ask(OptionRulesPanel* page, const QString& caller, const QDateTime& when,
                    rules::Presence presence = rules::Presence::Online) {
        const int at = page->previewCaller()->findText(caller);
        ASSERT_GE(at, 0) << caller.toStdString();
        page->previewCaller()->setCurrentIndex(at);
        page->previewPresence()->setCurrentIndex(static_cast<int>(presence));
        page->previewMoment()->setDateTime(when);
    }
};

QDateTime At(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

TEST_F(RulesPageTest, AddEditMoveRemoveAndEnableThenOkSavesExactlyWhatWasShown) {
    StartWithContacts();
    WriteRules({Words({"Weekend", "days=sat,sun", "tone=silence"}),
                Words({"Night", "time=22:00-07:00", "ring=off"}),
                Words({"Holidays", "dates=2026-12-24..2026-12-26", "refuse"})});
    OptionDialog dialog(*app_);
    OptionRulesPanel* page = Page(dialog);
    EXPECT_EQ(dialog.activePage(), OptionDialog::kRules);
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"+Weekend", "+Night", "+Holidays"}));

    // A new rule lands after the selected one.
    page->list()->setCurrentRow(0);
    RuleEditDialog* editor = page->AddRule();
    ASSERT_NE(editor, nullptr);
    editor->name()->setText(QStringLiteral("Family late"));
    Tick(editor, QStringLiteral("Group: Family"));
    Tick(editor, QStringLiteral("Bob"));
    editor->timeBox()->setChecked(true);
    editor->timeFrom()->setTime(QTime(22, 30));
    editor->timeTo()->setTime(QTime(6, 0));
    editor->day(6)->setChecked(false);  // not on Sundays
    editor->tone()->setCurrentIndex(editor->tone()->findData(QStringLiteral("standard")));
    editor->ringSeconds()->setValue(0);
    editor->greeting()->setCurrentIndex(editor->greeting()->findData(QStringLiteral("default")));
    editor->okButton()->click();
    EXPECT_EQ(Shown(page),
              (std::vector<std::string>{"+Weekend", "+Family late", "+Night", "+Holidays"}));
    EXPECT_EQ(page->list()->currentRow(), 1);

    page->upButton()->click();  // Family late first
    page->list()->setCurrentRow(2);
    page->downButton()->click();  // Night last
    page->list()->item(0)->setCheckState(Qt::Unchecked);
    page->list()->setCurrentRow(1);  // Weekend
    page->removeButton()->click();
    page->list()->setCurrentRow(1);  // Holidays
    editor = page->EditRule();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->refuse()->isChecked());
    EXPECT_FALSE(editor->tone()->isEnabled());
    editor->name()->setText(QStringLiteral("Christmas"));
    editor->presence(rules::Presence::Online)->setChecked(false);
    editor->okButton()->click();
    EXPECT_EQ(Shown(page), (std::vector<std::string>{"-Family late", "+Christmas", "+Night"}));
    EXPECT_EQ(FileText().find("Family"), std::string::npos) << "nothing is written before OK";

    dialog.accept();
    rules::Rule family =
        Words({"Family late", "callers=bob,group:family", "days=mon,tue,wed,thu,fri,sat",
               "time=22:30-06:00", "tone=standard", "ring-seconds=0", "greeting=default", "off"});
    const rules::RuleList expected = {
        family,
        Words({"Christmas", "dates=2026-12-24..2026-12-26", "presence=away,dnd,offline", "refuse"}),
        Words({"Night", "time=22:00-07:00", "ring=off"})};
    EXPECT_EQ(FileText(), Encoded(expected));
    // The calls use the saved rules from the next call on.
    EXPECT_EQ(Encoded(*app_->rules().For(*app_->settingFile().UserOwnFolder())), Encoded(expected));
}

TEST_F(RulesPageTest, CancelWritesNothingAndOkWithoutChangesMakesNoFile) {
    StartWithContacts();
    {
        OptionDialog dialog(*app_);
        OptionRulesPanel* page = Page(dialog);
        RuleEditDialog* editor = page->AddRule();
        ASSERT_NE(editor, nullptr);
        editor->okButton()->click();
        EXPECT_EQ(page->list()->count(), 1);
        dialog.reject();
    }
    EXPECT_EQ(FileText(), "(none)");
    {
        OptionDialog dialog(*app_);
        EXPECT_EQ(Page(dialog)->list()->count(), 0);
        dialog.accept();
    }
    EXPECT_EQ(FileText(), "(none)");
}

// A hand-written file keeps its bytes through Cancel, and through OK when nothing changed.
TEST_F(RulesPageTest, HandWrittenFileKeepsItsBytesUnlessChanged) {
    StartWithContacts();
    const std::string handWritten =
        "{\"format\":\"velto-rules\",\"version\":1,\"rules\":[{\"name\":\"Weekend\","
        "\"when\":{\"days\":[\"sat\",\"sun\"]},\"then\":{\"tone\":\"silence\"}}]}";
    fs::create_directories(RulesPath().parent_path());
    velto::test::WriteFileBytes(RulesPath(), handWritten);
    {
        OptionDialog dialog(*app_);
        OptionRulesPanel* page = Page(dialog);
        page->list()->setCurrentRow(0);
        page->removeButton()->click();
        EXPECT_EQ(page->list()->count(), 0);
        dialog.reject();
    }
    EXPECT_EQ(FileText(), handWritten);
    {
        OptionDialog dialog(*app_);
        OptionRulesPanel* page = Page(dialog);
        ASSERT_EQ(page->list()->count(), 1);
        page->list()->setCurrentRow(0);
        RuleEditDialog* editor = page->EditRule();
        ASSERT_NE(editor, nullptr);
        editor->okButton()->click();  // unchanged
        dialog.accept();
    }
    EXPECT_EQ(FileText(), handWritten);
}

// The editor gives back what it was given where its widgets show it another way: a window
// ending at 24:00 (shown as 00:00), a contact who is no longer one, a tone that is gone.
TEST_F(RulesPageTest, EditorKeepsWhatItCannotShowAsWritten) {
    StartWithContacts();
    const rules::Rule rule = Words({"Evenings", "callers=alice,zoe@gone,group:Choir",
                                    "time=18:00-24:00", "tone=item:77", "ringtone=bell.wav"});
    RuleChoices choices = GatherRuleChoices(app_->skypeLink().SkypeObject().get(),
                                            app_->userSettings(), std::nullopt);
    ASSERT_EQ(choices.contacts.size(), 3u);
    EXPECT_EQ(choices.groups, std::vector<std::string>{"Family"});
    RuleEditDialog editor(rule, choices, 3, QDate(2026, 12, 10));
    EXPECT_EQ(editor.timeTo()->time(), QTime(0, 0));
    ASSERT_TRUE(editor.Result());
    EXPECT_EQ(Encoded({*editor.Result()}), Encoded({rule}));
    // Nothing to save while no weekday or no status is ticked, or the name is blank.
    for (int day = 0; day < 7; ++day) {
        editor.day(day)->setChecked(false);
    }
    EXPECT_FALSE(editor.okButton()->isEnabled());
    editor.day(2)->setChecked(true);
    EXPECT_TRUE(editor.okButton()->isEnabled());
    editor.name()->setText(QStringLiteral("   "));
    EXPECT_FALSE(editor.okButton()->isEnabled());
}

// Expected outcomes worked out by hand from the rules and the calendar (2026-12-11 is a
// Friday): the night window's part after midnight belongs to the evening it started on.
TEST_F(RulesPageTest, WhatHappensNowNamesTheDecidingRule) {
    StartWithContacts();
    WriteRules(
        {Words({"Family nights", "callers=group:family", "days=fri", "time=22:00-07:00",
                "ring-seconds=0"}),
         Words({"Weekend", "days=sat,sun", "tone=silence"}),
         Words({"Strangers when busy", "callers=unknown,anonymous", "presence=dnd", "refuse"})});
    OptionDialog dialog(*app_);
    OptionRulesPanel* page = Page(dialog);
    // The moment starts at the program's clock.
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_.WallNow().time_since_epoch())
            .count();
    EXPECT_LT(std::abs(page->previewMoment()->dateTime().toMSecsSinceEpoch() - now), 60'000);

    struct Case {
        QString caller;
        QDateTime when;
        rules::Presence presence;
        int row;
    };
    const QString unknown = QString::fromStdU16String(i18n::GetText(i18n::TXT_RULE_UNKNOWN, 3));
    const QString anonymous = QString::fromStdU16String(i18n::GetText(i18n::TXT_RULE_ANONYMOUS, 3));
    const Case cases[] = {
        {"Alice", At(2026, 12, 11, 23, 30), rules::Presence::Online, 0},
        {"Alice", At(2026, 12, 12, 3, 0), rules::Presence::Online, 0},    // Friday's night
        {"Alice", At(2026, 12, 12, 22, 30), rules::Presence::Online, 1},  // Saturday's night
        {"Bob", At(2026, 12, 12, 3, 0), rules::Presence::Online, 1},
        {"Bob", At(2026, 12, 10, 12, 0), rules::Presence::Online, -1},
        {unknown, At(2026, 12, 10, 12, 0), rules::Presence::DoNotDisturb, 2},
        {anonymous, At(2026, 12, 10, 12, 0), rules::Presence::Away, -1},
        {anonymous, At(2026, 12, 13, 12, 0), rules::Presence::DoNotDisturb, 1},
    };
    for (const Case& c : cases) {
        Ask(page, c.caller, c.when, c.presence);
        EXPECT_EQ(page->previewRow(), c.row)
            << c.caller.toStdString() << " " << c.when.toString().toStdString();
    }
    Ask(page, "Bob", At(2026, 12, 12, 3, 0));
    EXPECT_TRUE(page->previewResult()->text().contains("Weekend"));
    EXPECT_TRUE(page->previewResult()->text().contains("Silence"));
    Ask(page, "Alice", At(2026, 12, 11, 23, 30));
    EXPECT_TRUE(
        page->previewResult()->text().contains(QStringLiteral("Answering machine after 0\u00a0s")));
    // Switching the first rule off hands Friday night to nobody, Saturday 03:00 to Weekend.
    page->list()->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(page->previewRow(), -1);
    EXPECT_TRUE(page->previewResult()->text().contains("No rule decides"));
    Ask(page, "Alice", At(2026, 12, 12, 3, 0));
    EXPECT_EQ(page->previewRow(), 1);
    dialog.reject();
}

// Without a deciding rule the caller hears their own tone; a rule naming a tone the
// catalogue no longer holds is passed over, as a call passes it over.
TEST_F(RulesPageTest, WhatHappensNowTellsTheContactsOwnToneAndSkipsAGoneTone) {
    StartWithContacts();
    const auto chime = app_->userSettings().InsertTone({u"Chime", u"/tones/chime.wav"});
    ASSERT_TRUE(chime);
    app_->userSettings().SetRingBack("bob", {3, *chime, -1});
    WriteRules({Words({"Gone tone", "callers=bob", "tone=item:9999"}),
                Words({"Alice silent", "callers=alice", "tone=silence", "ring=off"})});
    OptionDialog dialog(*app_);
    OptionRulesPanel* page = Page(dialog);
    Ask(page, "Bob", At(2026, 12, 10, 12, 0));
    EXPECT_EQ(page->previewRow(), -1);
    EXPECT_TRUE(page->previewResult()->text().contains("Chime"));
    Ask(page, "Alice", At(2026, 12, 10, 12, 0));
    EXPECT_EQ(page->previewRow(), 1);
    EXPECT_TRUE(page->previewResult()->text().contains("Silence; Panel only, silently"));
    dialog.reject();
}

// Every text fits in every language: the page's layout needs no more room than the page
// has, and the editor's no more than a small screen. VELTO_UI_SHOTS=DIR keeps pictures.
TEST_F(RulesPageTest, EveryLanguageFits) {
    StartWithContacts();
    WriteRules({Words({"Family nights", "callers=group:family", "time=22:00-07:00", "ring=off"}),
                Words({"Weekend", "days=sat,sun", "tone=silence"})});
    const char* shots = std::getenv("VELTO_UI_SHOTS");
    for (int32_t language = 0; language < i18n::kLanguageCount; ++language) {
        app_->state().CurrentLanguage = language;
        OptionDialog dialog(*app_);
        OptionRulesPanel* page = Page(dialog);
        page->list()->setCurrentRow(0);
        dialog.show();
        Settle();
        const QSize needed = page->layout()->minimumSize();
        EXPECT_LE(needed.width(), page->width()) << language;
        EXPECT_LE(needed.height(), page->height()) << language;
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
            EXPECT_GE(button->width(), button->minimumSizeHint().width())
                << language << " " << button->text().toStdString();
        }
        RuleEditDialog* editor = page->EditRule();
        ASSERT_NE(editor, nullptr);
        Settle();
        const QSize editorNeeds = editor->layout()->minimumSize();
        EXPECT_LE(editorNeeds.width(), 1000) << language;
        EXPECT_LE(editorNeeds.height(), 700) << language;
        EXPECT_GE(editor->width(), editorNeeds.width()) << language;
        if (shots != nullptr) {
            const QString base =
                QString::fromUtf8(shots) + QStringLiteral("/rules-%1").arg(language);
            dialog.grab().save(base + QStringLiteral("-page.png"));
            editor->grab().save(base + QStringLiteral("-editor.png"));
        }
        editor->reject();
        dialog.reject();
        Settle();
    }
}

// A rule's switches through the page, one OK after another on the same rule: turned off
// and on again in the list, ring on, off and unchanged, refuse ticked and unticked; the
// file holds each side as set, and Cancel after changing all of them writes nothing.
TEST_F(RulesPageTest, EachRuleSwitchIsSavedOnEachSideAndBack) {
    StartWithContacts();
    WriteRules({Words({"Alice", "callers=alice"})});
    struct Step {
        bool enabled;
        int ring;  // the list's data: -1 unchanged, 1 ring, 0 silent panel
        bool refuse;
        std::vector<std::string> words;  // the rule the file holds after OK, by hand
    };
    const Step steps[] = {
        {false, -1, false, {"Alice", "callers=alice", "off"}},
        {true, -1, false, {"Alice", "callers=alice"}},
        {true, 0, false, {"Alice", "callers=alice", "ring=off"}},
        {true, 1, false, {"Alice", "callers=alice", "ring=on"}},
        {true, -1, false, {"Alice", "callers=alice"}},
        {true, -1, true, {"Alice", "callers=alice", "refuse"}},
        {true, -1, false, {"Alice", "callers=alice"}},
    };
    const auto change = [](OptionRulesPanel* page, const Step& step) {
        page->list()->setCurrentRow(0);
        RuleEditDialog* editor = page->EditRule();
        ASSERT_NE(editor, nullptr);
        editor->ring()->setCurrentIndex(editor->ring()->findData(step.ring));
        editor->refuse()->setChecked(step.refuse);
        editor->okButton()->click();
        page->list()->item(0)->setCheckState(step.enabled ? Qt::Checked : Qt::Unchecked);
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.words.back());
        OptionDialog dialog(*app_);
        change(Page(dialog), step);
        dialog.accept();
        EXPECT_EQ(FileText(), Encoded({Words(step.words)}));
    }
    const std::string before = FileText();
    {
        OptionDialog dialog(*app_);
        change(Page(dialog), {false, 0, true, {}});
        dialog.reject();
    }
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(Encoded(*app_->rules().For(*app_->settingFile().UserOwnFolder())), before);
}

}  // namespace
}  // namespace velto::ui::test
