#include "ui/GreetingPicker.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

#include "app/Application.h"
#include "calls/CallGreeting.h"
#include "ui/Texts.h"
#include "ui/model/ToneFiles.h"

namespace velto::ui {
namespace {

using Option = GreetingDraft::Option;

constexpr int kPlayId = 1;

}  // namespace

GreetingPicker::GreetingPicker(app::Application& app, std::unique_ptr<GreetingDraft> draft,
                               bool mayBeNone, QWidget* parent)
    : QWidget(parent),
      app_(app),
      draft_(std::move(draft)),
      mayBeNone_(mayBeNone),
      combo_(new QComboBox(this)),
      browse_(new QPushButton(this)),
      record_(new QPushButton(this)),
      preview_(app),
      play_(preview_.AddButton(this, kPlayId)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(combo_, 1);
    row->addWidget(browse_);
    row->addWidget(record_);
    row->addWidget(play_);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Until a recorder is plugged in there is nothing to record with.
    record_->hide();
    connect(combo_, &QComboBox::activated, this,
            [this](int index) { Choose(static_cast<Option>(combo_->itemData(index).toInt())); });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(record_, &QPushButton::clicked, this, &GreetingPicker::Record);
    connect(play_, &QAbstractButton::clicked, this, &GreetingPicker::PressPlay);
    RefreshTexts(ShownLanguage(app.state()));
}

GreetingPicker::~GreetingPicker() = default;

void GreetingPicker::Choose(Option option) {
    if (!draft_->Choose(option)) {
        Browse();
    }
    ShowChoice();
}

FilePickUpDialog* GreetingPicker::Browse() {
    if (picker_ && picker_->isVisible()) {
        return picker_;
    }
    picker_ = FilePickUpDialog::Open(app_, FilePickUpDialog::Purpose::Greeting, window());
    connect(picker_, &QDialog::finished, this, &GreetingPicker::PickerFinished);
    return picker_;
}

void GreetingPicker::PickerFinished(int result) {
    if (result == QDialog::Accepted && picker_) {
        draft_->Picked(picker_->itemId(), picker_->sourceName());
    }
    ShowChoice();
}

void GreetingPicker::SetRecorder(Recorder recorder) {
    recorder_ = std::move(recorder);
    record_->setVisible(recorder_ != nullptr);
}

void GreetingPicker::Record() {
    const auto target = draft_->RecordTarget();
    if (!recorder_ || !target) {
        return;
    }
    QPointer<GreetingPicker> self(this);
    recorder_(*target, [self] {
        if (self) {
            self->draft_->Recorded();
            self->ShowChoice();
        }
    });
}

std::optional<std::filesystem::path> GreetingPicker::FileToPlay() const {
    const auto ownFolder = app_.settingFile().UserOwnFolder();
    const int32_t language = app_.state().CurrentLanguage;
    switch (draft_->option()) {
        case Option::None:
            return std::nullopt;
        case Option::Standard:
            return calls::GreetingPath(app_.userSettings().UseDefaultGreeting(), language,
                                       app_.state().InstallDirPath.Get(), ownFolder);
        case Option::Own:
            return ownFolder ? std::optional(FileIn(*ownFolder, kOwnGreetingFile)) : std::nullopt;
        case Option::File:
            break;
    }
    return draft_->File();
}

void GreetingPicker::PressPlay() {
    if (const auto file = FileToPlay()) {
        preview_.Press(kPlayId, *file);
    }
}

void GreetingPicker::RefreshTexts(int32_t language) {
    const QSignalBlocker quiet(combo_);
    combo_->clear();
    if (mayBeNone_) {
        combo_->addItem(Text(i18n::TXT_BUSY_GREETING_NONE, language),
                        static_cast<int>(Option::None));
    }
    combo_->addItem(Text(i18n::TXT_GREETING_STANDARD, language),
                    static_cast<int>(Option::Standard));
    combo_->addItem(Text(i18n::TXT_GREETING_OWN, language), static_cast<int>(Option::Own));
    combo_->addItem(Text(i18n::TXT_GREETING_FILE, language), static_cast<int>(Option::File));
    browse_->setText(Text(i18n::TXT_BROWSE, language));
    record_->setText(Text(i18n::TXT_GREETING_RECORD, language));
    ShowChoice();
}

void GreetingPicker::ShowChoice() {
    const QSignalBlocker quiet(combo_);
    combo_->setCurrentIndex(combo_->findData(static_cast<int>(draft_->option())));
    const QString title = QString::fromStdU16String(draft_->FileTitle());
    combo_->setItemData(combo_->findData(static_cast<int>(Option::File)), title, Qt::ToolTipRole);
    combo_->setToolTip(draft_->option() == Option::File ? title : QString());
    play_->setEnabled(FileToPlay().has_value());
}

}  // namespace velto::ui
