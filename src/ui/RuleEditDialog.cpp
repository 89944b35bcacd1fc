#include "ui/RuleEditDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>

#include "rules/RuleMatch.h"
#include "rules/RulesCodec.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

// The locale whose day names a language shows.
QLocale LocaleOf(int32_t language) {
    static constexpr const char* kNames[] = {"zh_CN", "zh_TW", "de_DE", "en_GB", "es_ES",
                                             "fr_FR", "it_IT", "ja_JP", "ko_KR", "nl_NL",
                                             "pl_PL", "pt_BR", "id_ID", "ru_RU", "sv_SE"};
    return language >= 0 && language < 15 ? QLocale(QString::fromLatin1(kNames[language]))
                                          : QLocale(QLocale::English);
}

QTime TimeOf(int minute) {
    return QTime((minute / 60) % 24, minute % 60);
}

int MinuteOf(const QTime& time) {
    return time.hour() * 60 + time.minute();
}

QDate DateOf(const rules::Date& date) {
    return QDate(date.year, date.month, date.day);
}

rules::Date RuleDate(const QDate& date) {
    return {date.year(), date.month(), date.day()};
}

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Selects the entry whose data is `value`, adding it (shown as it is) when the list lacks it.
void SelectData(QComboBox* box, const QVariant& value, const QString& shown) {
    int at = box->findData(value);
    if (at < 0) {
        box->addItem(shown, value);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
}

QListWidgetItem* AddCaller(QListWidget* list, const QString& text, int kind,
                           const std::string& value, bool ticked) {
    auto* item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    item->setData(RuleEditDialog::kKindRole, kind);
    item->setData(RuleEditDialog::kValueRole, FromUtf8(value));
    return item;
}

bool Has(const std::vector<std::string>& folded, const std::string& value) {
    return std::find(folded.begin(), folded.end(), rules::FoldCase(value)) != folded.end();
}

}  // namespace

RuleEditDialog::RuleEditDialog(const rules::Rule& rule, const RuleChoices& choices,
                               int32_t language, const QDate& today, QWidget* parent)
    : QDialog(parent),
      original_(rule),
      language_(language),
      name_(new QLineEdit(this)),
      callers_(new QListWidget(this)),
      timeBox_(new QCheckBox(this)),
      timeFrom_(new QTimeEdit(this)),
      timeTo_(new QTimeEdit(this)),
      datesBox_(new QCheckBox(this)),
      dateFrom_(new QDateEdit(this)),
      dateTo_(new QDateEdit(this)),
      tone_(new QComboBox(this)),
      ring_(new QComboBox(this)),
      ringTone_(new QComboBox(this)),
      ringSeconds_(new QSpinBox(this)),
      greeting_(new QComboBox(this)),
      refuse_(new QCheckBox(this)) {
    setObjectName(QStringLiteral("RuleEditDialog"));
    setWindowTitle(Text(i18n::TXT_RULE, language));
    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QFormLayout;
    nameRow->addRow(Text(i18n::TXT_RULE_NAME, language), name_);
    layout->addLayout(nameRow);
    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildWhen(), 3);
    columns->addWidget(BuildThen(choices), 2);
    layout->addLayout(columns);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Text(i18n::TXT_OK, language), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(i18n::TXT_CANCEL, language), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &RuleEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RuleEditDialog::reject);
    layout->addWidget(buttons);
    // 64 characters are at most 256 bytes of UTF-8, the most a rule's name may have; a
    // longer name from the file is kept whole.
    name_->setMaxLength(std::max(static_cast<int>(rules::kMaxTextBytes / 4),
                                 static_cast<int>(FromUtf8(rule.name).size())));
    name_->setText(FromUtf8(rule.name));
    FillCallers(choices);
    FillWhen(today);
    FillThen();
    for (QCheckBox* box : {timeBox_, datesBox_}) {
        connect(box, &QCheckBox::toggled, this, [this] { ShowEnabledParts(); });
    }
    connect(dateFrom_, &QDateEdit::dateChanged, this,
            [this](const QDate& from) { dateTo_->setMinimumDate(from); });
    connect(refuse_, &QCheckBox::toggled, this, [this] { ShowEnabledParts(); });
    connect(name_, &QLineEdit::textChanged, this, [this] { ShowEnabledParts(); });
    for (QCheckBox* box : days_) {
        connect(box, &QCheckBox::toggled, this, [this] { ShowEnabledParts(); });
    }
    for (QCheckBox* box : presence_) {
        connect(box, &QCheckBox::toggled, this, [this] { ShowEnabledParts(); });
    }
    ShowEnabledParts();
}

QWidget* RuleEditDialog::BuildWhen() {
    auto* box = new QGroupBox(Text(i18n::TXT_RULE_WHEN, language_), this);
    auto* form = new QVBoxLayout(box);
    form->addWidget(new QLabel(Text(i18n::TXT_RULE_CALLERS, language_), box));
    callers_->setMinimumHeight(110);
    form->addWidget(callers_);
    form->addWidget(new QLabel(Text(i18n::TXT_RULE_DAYS, language_), box));
    auto* days = new QHBoxLayout;
    const QLocale locale = LocaleOf(language_);
    for (int day = 0; day < 7; ++day) {
        days_[static_cast<size_t>(day)] =
            new QCheckBox(locale.dayName(day + 1, QLocale::ShortFormat), box);
        days->addWidget(days_[static_cast<size_t>(day)]);
    }
    days->addStretch();
    form->addLayout(days);
    const auto range = [&](QCheckBox* check, i18n::TextKey key, QWidget* from, QWidget* to) {
        check->setText(Text(key, language_));
        auto* row = new QHBoxLayout;
        row->addWidget(check);
        row->addWidget(from);
        row->addWidget(new QLabel(QStringLiteral("\u2013"), box));
        row->addWidget(to);
        row->addStretch();
        form->addLayout(row);
    };
    for (QTimeEdit* edit : {timeFrom_, timeTo_}) {
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
    }
    for (QDateEdit* edit : {dateFrom_, dateTo_}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
    }
    range(timeBox_, i18n::TXT_RULE_TIME, timeFrom_, timeTo_);
    range(datesBox_, i18n::TXT_RULE_DATES, dateFrom_, dateTo_);
    form->addWidget(new QLabel(Text(i18n::TXT_RULE_MY_STATUS, language_), box));
    auto* status = new QHBoxLayout;
    constexpr i18n::TextKey kStatus[] = {i18n::TXT_STATUS_ONLINE, i18n::TXT_STATUS_AWAY,
                                         i18n::TXT_STATUS_DND, i18n::TXT_STATUS_OFFLINE};
    for (size_t i = 0; i < presence_.size(); ++i) {
        presence_[i] = new QCheckBox(Text(kStatus[i], language_), box);
        status->addWidget(presence_[i]);
    }
    status->addStretch();
    form->addLayout(status);
    return box;
}

QWidget* RuleEditDialog::BuildThen(const RuleChoices& choices) {
    auto* box = new QGroupBox(Text(i18n::TXT_RULE_THEN, language_), this);
    auto* form = new QVBoxLayout(box);
    const QString unchanged = Text(i18n::TXT_RULE_UNCHANGED, language_);
    const auto row = [&](i18n::TextKey key, QWidget* field) {
        form->addWidget(new QLabel(Text(key, language_), box));
        form->addWidget(field);
    };
    tone_->addItem(unchanged, QString());
    tone_->addItem(Text(i18n::TXT_STANDARD_RINGBACK, language_), QStringLiteral("standard"));
    tone_->addItem(Text(i18n::TXT_RULE_SILENCE, language_), QStringLiteral("silence"));
    for (const RuleChoices::Tone& tone : choices.tones) {
        tone_->addItem(QString::fromStdU16String(tone.title),
                       QStringLiteral("item:%1").arg(tone.item));
    }
    row(i18n::TXT_RINGBACK_TONE, tone_);
    ring_->addItem(unchanged, -1);
    ring_->addItem(Text(i18n::TXT_RULE_RING, language_), 1);
    ring_->addItem(Text(i18n::TXT_RULE_SILENT_PANEL, language_), 0);
    row(i18n::TXT_RULE_RING_ME, ring_);
    const auto files = [&](QComboBox* combo, i18n::TextKey defaultKey) {
        combo->addItem(unchanged, QString());
        combo->addItem(Text(defaultKey, language_), QStringLiteral("default"));
        for (const std::string& file : choices.files) {
            combo->addItem(FromUtf8(file), FromUtf8(file));
        }
    };
    files(ringTone_, i18n::TXT_DEFAULT_RINGTONE);
    row(i18n::TXT_RULE_RINGTONE, ringTone_);
    ringSeconds_->setRange(-1, rules::kMaxRingSeconds);
    ringSeconds_->setSpecialValueText(unchanged);
    ringSeconds_->setSuffix(QStringLiteral(" s"));
    row(i18n::TXT_RULE_MACHINE_AFTER, ringSeconds_);
    files(greeting_, i18n::TXT_DEFAULT_GREETING);
    row(i18n::TXT_RULE_GREETING, greeting_);
    // Each choice is shown whole, however long its words are in this language.
    for (QComboBox* combo : {tone_, ring_, ringTone_, greeting_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    refuse_->setText(Text(i18n::TXT_RULE_REFUSE, language_));
    form->addWidget(refuse_);
    form->addStretch();
    return box;
}

void RuleEditDialog::FillCallers(const RuleChoices& choices) {
    const rules::CallerCondition& who = original_.when.caller;
    std::vector<std::string> shownContacts, shownGroups;
    for (const RuleChoices::Person& person : choices.contacts) {
        const QString name = QString::fromStdU16String(person.name);
        const QString handle = FromUtf8(person.handle);
        AddCaller(callers_, name == handle ? name : name + QStringLiteral(" (") + handle + ')',
                  kContact, rules::FoldCase(person.handle), Has(who.contacts, person.handle));
        shownContacts.push_back(rules::FoldCase(person.handle));
    }
    // A contact the rule names who is no longer one stays, so that saving keeps it.
    for (const std::string& handle : who.contacts) {
        if (!Has(shownContacts, handle)) {
            AddCaller(callers_, FromUtf8(handle), kContact, handle, true);
        }
    }
    const QString group = Text(i18n::TXT_RULE_GROUP, language_) + QStringLiteral(": ");
    for (const std::string& name : choices.groups) {
        AddCaller(callers_, group + FromUtf8(name), kGroup, rules::FoldCase(name),
                  Has(who.groups, name));
        shownGroups.push_back(rules::FoldCase(name));
    }
    for (const std::string& name : who.groups) {
        if (!Has(shownGroups, name)) {
            AddCaller(callers_, group + FromUtf8(name), kGroup, name, true);
        }
    }
    AddCaller(callers_, Text(i18n::TXT_RULE_UNKNOWN, language_), kUnknown, "", who.unknown);
    AddCaller(callers_, Text(i18n::TXT_RULE_ANONYMOUS, language_), kAnonymous, "", who.anonymous);
}

void RuleEditDialog::FillWhen(const QDate& today) {
    const rules::Conditions& when = original_.when;
    for (size_t day = 0; day < days_.size(); ++day) {
        days_[day]->setChecked((when.weekdays & (1u << day)) != 0);
    }
    timeBox_->setChecked(when.time.has_value());
    const rules::TimeWindow window = when.time.value_or(rules::TimeWindow{0, 0});
    timeFrom_->setTime(TimeOf(window.from));
    timeTo_->setTime(TimeOf(window.to));
    datesBox_->setChecked(when.dates.has_value());
    dateFrom_->setDate(when.dates ? DateOf(when.dates->from) : today);
    dateTo_->setMinimumDate(dateFrom_->date());
    dateTo_->setDate(when.dates ? DateOf(when.dates->to) : today);
    for (size_t i = 0; i < presence_.size(); ++i) {
        presence_[i]->setChecked((when.presence & (1u << i)) != 0);
    }
}

void RuleEditDialog::FillThen() {
    const rules::Actions& then = original_.then;
    QString tone;
    if (then.tone) {
        switch (then.tone->kind) {
            case rules::ToneChoice::Kind::Standard:
                tone = QStringLiteral("standard");
                break;
            case rules::ToneChoice::Kind::Silence:
                tone = QStringLiteral("silence");
                break;
            case rules::ToneChoice::Kind::Item:
                tone = QStringLiteral("item:%1").arg(then.tone->item);
                break;
        }
    }
    // A tone or file that is gone is still shown, by what the rule calls it.
    SelectData(tone_, tone, tone);
    ring_->setCurrentIndex(ring_->findData(then.ring ? (*then.ring ? 1 : 0) : -1));
    const QString ringTone = then.ringTone ? FromUtf8(*then.ringTone) : QString();
    SelectData(ringTone_, ringTone, ringTone);
    ringSeconds_->setValue(then.ringSeconds.value_or(-1));
    const QString greeting = then.greeting ? FromUtf8(*then.greeting) : QString();
    SelectData(greeting_, greeting, greeting);
    refuse_->setChecked(then.refuse);
}

void RuleEditDialog::ShowEnabledParts() {
    timeFrom_->setEnabled(timeBox_->isChecked());
    timeTo_->setEnabled(timeBox_->isChecked());
    dateFrom_->setEnabled(datesBox_->isChecked());
    dateTo_->setEnabled(datesBox_->isChecked());
    // A refused call is never answered: nothing else of it happens.
    for (QWidget* action :
         std::initializer_list<QWidget*>{tone_, ring_, ringTone_, ringSeconds_, greeting_}) {
        action->setEnabled(!refuse_->isChecked());
    }
    ok_->setEnabled(Result().has_value());
}

rules::Conditions RuleEditDialog::ShownConditions() const {
    rules::Conditions when;
    for (int row = 0; row < callers_->count(); ++row) {
        const QListWidgetItem* item = callers_->item(row);
        if (item->checkState() != Qt::Checked) {
            continue;
        }
        const std::string value = item->data(kValueRole).toString().toStdString();
        switch (item->data(kKindRole).toInt()) {
            case kContact:
                when.caller.contacts.push_back(value);
                break;
            case kGroup:
                when.caller.groups.push_back(value);
                break;
            case kUnknown:
                when.caller.unknown = true;
                break;
            case kAnonymous:
                when.caller.anonymous = true;
                break;
        }
    }
    when.weekdays = 0;
    for (size_t day = 0; day < days_.size(); ++day) {
        when.weekdays |= days_[day]->isChecked() ? static_cast<uint8_t>(1u << day) : 0;
    }
    if (timeBox_->isChecked()) {
        const rules::TimeWindow old = original_.when.time.value_or(rules::TimeWindow{});
        // "24:00" shows as 00:00; a time left as it was keeps what the rule said.
        const bool same = original_.when.time && timeFrom_->time() == TimeOf(old.from) &&
                          timeTo_->time() == TimeOf(old.to);
        when.time =
            same ? old : rules::TimeWindow{MinuteOf(timeFrom_->time()), MinuteOf(timeTo_->time())};
    }
    if (datesBox_->isChecked()) {
        when.dates = rules::DateRange{RuleDate(dateFrom_->date()), RuleDate(dateTo_->date())};
    }
    when.presence = 0;
    for (size_t i = 0; i < presence_.size(); ++i) {
        when.presence |= presence_[i]->isChecked() ? static_cast<uint8_t>(1u << i) : 0;
    }
    return when;
}

rules::Actions RuleEditDialog::ShownActions() const {
    rules::Actions then;
    then.refuse = refuse_->isChecked();
    const QString tone = tone_->currentData().toString();
    if (tone == QStringLiteral("standard")) {
        then.tone = rules::ToneChoice{rules::ToneChoice::Kind::Standard, 0};
    } else if (tone == QStringLiteral("silence")) {
        then.tone = rules::ToneChoice{rules::ToneChoice::Kind::Silence, 0};
    } else if (tone.startsWith(QStringLiteral("item:"))) {
        then.tone = rules::ToneChoice{rules::ToneChoice::Kind::Item, tone.mid(5).toInt()};
    }
    if (const int ring = ring_->currentData().toInt(); ring >= 0) {
        then.ring = ring == 1;
    }
    if (const QString file = ringTone_->currentData().toString(); !file.isEmpty()) {
        then.ringTone = file.toStdString();
    }
    if (ringSeconds_->value() >= 0) {
        then.ringSeconds = ringSeconds_->value();
    }
    if (const QString file = greeting_->currentData().toString(); !file.isEmpty()) {
        then.greeting = file.toStdString();
    }
    return then;
}

std::optional<rules::Rule> RuleEditDialog::Result() const {
    rules::Rule rule;
    rule.name = name_->text().trimmed().toStdString();
    rule.enabled = original_.enabled;
    rule.when = ShownConditions();
    rule.then = ShownActions();
    if (rule.name.empty() || rule.when.weekdays == 0 || rule.when.presence == 0) {
        return std::nullopt;
    }
    // The rules file's own decoder has the last word, so the page never holds a rule that
    // the next start would leave out.
    rules::DecodedRules decoded = rules::DecodeRules(rules::EncodeRules({rule}));
    if (!decoded.problems.empty() || decoded.rules.size() != 1) {
        return std::nullopt;
    }
    return std::move(decoded.rules.front());
}

void RuleEditDialog::accept() {
    if (Result()) {
        QDialog::accept();
    }
}

}  // namespace velto::ui
