#include "ui/OptionRulesPanel.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstring>

#include "app/Application.h"
#include "calls/CallRules.h"
#include "platform/Trace.h"
#include "ui/RuleEditDialog.h"
#include "ui/Texts.h"
#include "ui/model/RulePreview.h"

namespace velto::ui {
namespace {

std::optional<std::filesystem::path> OwnFolder(app::Application& app) {
    try {
        return app.settingFile().UserOwnFolder();
    } catch (const std::exception& error) {
        platform::Trace("Rules: the user's folder cannot be read: %s\n", error.what());
        return std::nullopt;
    }
}

rules::RuleList LoadedRules(app::Application& app,
                            const std::optional<std::filesystem::path>& folder) {
    return folder ? *app.rules().For(*folder) : rules::RuleList{};
}

// The caller list's entries carry the handle asked about.
constexpr int kCallerHandleRole = Qt::UserRole + 1;

}  // namespace

OptionRulesPanel::OptionRulesPanel(app::Application& app, QWidget* parent)
    : OptionPage(app, parent),
      folder_(OwnFolder(app)),
      choices_(GatherRuleChoices(app.skypeLink().SkypeObject().get(), app.userSettings(), folder_)),
      draft_(LoadedRules(app, folder_)),
      listBox_(new QGroupBox(this)),
      list_(new QListWidget(listBox_)),
      add_(new QPushButton(listBox_)),
      edit_(new QPushButton(listBox_)),
      remove_(new QPushButton(listBox_)),
      up_(new QPushButton(listBox_)),
      down_(new QPushButton(listBox_)),
      previewBox_(new QGroupBox(this)),
      caller_(new QComboBox(previewBox_)),
      moment_(new QDateTimeEdit(previewBox_)),
      presence_(new QComboBox(previewBox_)),
      result_(new QLabel(previewBox_)) {
    setObjectName(QStringLiteral("OptionRulesPanel"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(BuildList(), 1);
    outer->addWidget(BuildPreview());
    const bool usable = folder_.has_value();
    add_->setEnabled(usable);
    FillPreviewChoices();
    ShowList(draft_.size() > 0 ? 0 : -1);
    RefreshTexts();
}

QWidget* OptionRulesPanel::BuildList() {
    auto* row = new QHBoxLayout(listBox_);
    row->addWidget(list_, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add_, edit_, remove_, up_, down_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    connect(add_, &QPushButton::clicked, this, [this] { AddRule(); });
    connect(edit_, &QPushButton::clicked, this, [this] { EditRule(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { EditRule(); });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int row = Selected();
        draft_.Remove(row);
        ShowList(std::min(row, draft_.size() - 1));
    });
    connect(up_, &QPushButton::clicked, this, [this] { ShowList(draft_.MoveUp(Selected())); });
    connect(down_, &QPushButton::clicked, this, [this] { ShowList(draft_.MoveDown(Selected())); });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowButtons(); });
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        draft_.SetEnabled(list_->row(item), item->checkState() == Qt::Checked);
        ShowPreview();
    });
    return listBox_;
}

QWidget* OptionRulesPanel::BuildPreview() {
    auto* column = new QVBoxLayout(previewBox_);
    auto* row = new QHBoxLayout;
    // The choices' longest words are seen in the open list; the row must fit the page.
    for (QComboBox* combo : {caller_, presence_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(6);
    }
    row->addWidget(caller_, 1);
    row->addWidget(moment_);
    row->addWidget(presence_);
    column->addLayout(row);
    result_->setWordWrap(true);
    result_->setTextFormat(Qt::RichText);
    result_->setMinimumHeight(result_->fontMetrics().lineSpacing() * 2);
    column->addWidget(result_);
    moment_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    moment_->setCalendarPopup(true);
    moment_->setDateTime(Now());
    connect(caller_, &QComboBox::currentIndexChanged, this, [this] { ShowPreview(); });
    connect(presence_, &QComboBox::currentIndexChanged, this, [this] { ShowPreview(); });
    connect(moment_, &QDateTimeEdit::dateTimeChanged, this, [this] { ShowPreview(); });
    return previewBox_;
}

void OptionRulesPanel::FillPreviewChoices() {
    const QSignalBlocker blocker(caller_);
    for (const RuleChoices::Person& person : choices_.contacts) {
        caller_->addItem(QString::fromStdU16String(person.name),
                         static_cast<int>(PreviewCaller::Kind::Contact));
        caller_->setItemData(caller_->count() - 1, QString::fromStdString(person.handle),
                             kCallerHandleRole);
    }
    caller_->addItem(QString(), static_cast<int>(PreviewCaller::Kind::Unknown));
    caller_->addItem(QString(), static_cast<int>(PreviewCaller::Kind::Anonymous));
    const QSignalBlocker presenceBlocker(presence_);
    for (int i = 0; i < rules::kPresenceCount; ++i) {
        presence_->addItem(QString(), i);
    }
    presence_->setCurrentIndex(
        static_cast<int>(calls::PresenceOf(application().state().MyStatus.load())));
}

QDateTime OptionRulesPanel::Now() {
    const auto now = application().clock().WallNow();
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
}

QDate OptionRulesPanel::Today() {
    return Now().date();
}

int OptionRulesPanel::Selected() const {
    return list_->currentRow();
}

int32_t OptionRulesPanel::Language() {
    return ShownLanguage(application().state());
}

void OptionRulesPanel::ShowList(int select) {
    {
        const QSignalBlocker blocker(list_);
        list_->clear();
        for (const rules::Rule& rule : draft_.rules()) {
            auto* item = new QListWidgetItem(QString::fromStdString(rule.name), list_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(rule.enabled ? Qt::Checked : Qt::Unchecked);
            item->setToolTip(QString::fromStdU16String(DescribeOutcome(
                rule.then, std::nullopt, application().callServices(), Language())));
        }
        list_->setCurrentRow(select);
    }
    ShowButtons();
    ShowPreview();
}

void OptionRulesPanel::ShowButtons() {
    const int row = Selected();
    const bool any = row >= 0 && row < draft_.size();
    edit_->setEnabled(any);
    remove_->setEnabled(any);
    up_->setEnabled(any && row > 0);
    down_->setEnabled(any && row + 1 < draft_.size());
}

void OptionRulesPanel::ShowPreview() {
    if (!folder_) {
        previewRow_ = -1;
        result_->clear();
        return;
    }
    PreviewQuestion question;
    question.caller.kind = static_cast<PreviewCaller::Kind>(caller_->currentData().toInt());
    question.caller.handle = caller_->currentData(kCallerHandleRole).toString().toStdString();
    question.when = std::chrono::system_clock::time_point(
        std::chrono::milliseconds(moment_->dateTime().toMSecsSinceEpoch()));
    question.presence = static_cast<rules::Presence>(presence_->currentData().toInt());
    const RulePreview preview =
        PreviewRules(draft_.rules(), question, application().callServices(),
                     application().skypeLink().SkypeObject().get(), *folder_, Language());
    previewRow_ = preview.index;
    result_->setText(
        QStringLiteral("<b>") + QString::fromStdU16String(preview.heading).toHtmlEscaped() +
        QStringLiteral("</b>: ") + QString::fromStdU16String(preview.outcome).toHtmlEscaped());
}

RuleEditDialog* OptionRulesPanel::AddRule() {
    if (!folder_) {
        return nullptr;
    }
    rules::Rule rule;
    rule.name = Text(i18n::TXT_RULE_NEW, Language()).toStdString();
    return OpenEditor(rule, -1);
}

RuleEditDialog* OptionRulesPanel::EditRule() {
    const int row = Selected();
    if (!folder_ || row < 0 || row >= draft_.size()) {
        return nullptr;
    }
    return OpenEditor(draft_.rules()[static_cast<size_t>(row)], row);
}

RuleEditDialog* OptionRulesPanel::OpenEditor(const rules::Rule& rule, int row) {
    auto* dialog = new RuleEditDialog(rule, choices_, Language(), Today(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, row] {
        std::optional<rules::Rule> edited = dialog->Result();
        if (!edited) {
            return;
        }
        if (row < 0) {
            ShowList(draft_.Add(std::move(*edited), Selected()));
        } else {
            draft_.Replace(row, std::move(*edited));
            ShowList(row);
        }
    });
    dialog->open();
    return dialog;
}

void OptionRulesPanel::Apply() {
    if (!folder_ || !draft_.Changed()) {
        return;
    }
    if (const int error = application().rules().Save(*folder_, draft_.rules()); error != 0) {
        const std::string text = "The rules were not saved: " + std::string(std::strerror(error));
        platform::Trace("Rules: %s\n", text.c_str());
        application().messageBoxes().Show(text, "Error");
    }
}

void OptionRulesPanel::RefreshTexts() {
    const int32_t language = Language();
    listBox_->setTitle(Text(i18n::TXT_RULES, language));
    add_->setText(Text(i18n::TXT_RULE_ADD, language));
    edit_->setText(Text(i18n::TXT_RULE_EDIT, language));
    remove_->setText(Text(i18n::TXT_DELETE, language));
    up_->setText(Text(i18n::TXT_RULE_MOVE_UP, language));
    down_->setText(Text(i18n::TXT_RULE_MOVE_DOWN, language));
    previewBox_->setTitle(Text(i18n::TXT_RULE_WHAT_NOW, language));
    const int count = caller_->count();
    caller_->setItemText(count - 2, Text(i18n::TXT_RULE_UNKNOWN, language));
    caller_->setItemText(count - 1, Text(i18n::TXT_RULE_ANONYMOUS, language));
    constexpr i18n::TextKey kStatus[] = {i18n::TXT_STATUS_ONLINE, i18n::TXT_STATUS_AWAY,
                                         i18n::TXT_STATUS_DND, i18n::TXT_STATUS_OFFLINE};
    for (int i = 0; i < rules::kPresenceCount; ++i) {
        presence_->setItemText(i, Text(kStatus[i], language));
    }
    ShowList(Selected());
}

}  // namespace velto::ui
