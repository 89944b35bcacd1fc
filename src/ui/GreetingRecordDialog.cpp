#include "ui/GreetingRecordDialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/Application.h"
#include "core/Messages.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/Texts.h"
#include "ui/model/MessagePosition.h"

namespace velto::ui {
namespace {

// The value the player's report carries: this window plays one thing only.
constexpr uint32_t kTakeSound = 1;

QString TimeText(platform::Millis ms) {
    return QString::fromStdU16String(PlayTimeText(static_cast<uint32_t>(ms.count())));
}

}  // namespace

int GreetingRecordDialog::MeterValue(double level) {
    if (level <= 0) {
        return 0;
    }
    const double decibels = 20 * std::log10(std::min(level, 1.0));
    return static_cast<int>(std::lround(std::clamp((decibels + 60) / 60 * 100, 0.0, 100.0)));
}

GreetingRecordDialog::GreetingRecordDialog(app::Application& app, std::filesystem::path target,
                                           QWidget* parent)
    : QDialog(parent),
      app_(app),
      target_(std::move(target)),
      recorder_(app.clock(), app.soundInput()),
      notice_(new QLabel(this)),
      time_(new QLabel(this)),
      meter_(new QProgressBar(this)),
      record_(new QPushButton(this)),
      stop_(new QPushButton(this)),
      play_(new QPushButton(this)),
      save_(new QPushButton(this)),
      cancel_(new QPushButton(this)),
      translated_(
          app, [this] { RefreshTexts(); },
          [this](uint32_t message, platform::WParam wParam, platform::LParam) {
              if (message == core::WM_SOUND_FINISHED && wParam == kTakeSound) {
                  playing_ = false;
                  ShowState();
              }
              return platform::LResult{0};
          }) {
    setObjectName(QStringLiteral("GreetingRecordDialog"));
    notice_->setWordWrap(true);
    notice_->setTextFormat(Qt::PlainText);
    // Wide enough for the longest notice in two or three lines.
    notice_->setFixedWidth(320);
    meter_->setRange(0, 100);
    meter_->setTextVisible(false);
    meter_->setMinimumWidth(230);
    // The time keeps its width while the digits change.
    time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")));

    auto* column = new QVBoxLayout(this);
    column->addWidget(notice_);
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(time_);
    levelRow->addWidget(meter_, 1);
    column->addLayout(levelRow);
    auto* actions = new QHBoxLayout;
    actions->addWidget(record_);
    actions->addWidget(stop_);
    actions->addWidget(play_);
    actions->addStretch();
    column->addLayout(actions);
    column->addSpacing(8);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(save_);
    closing->addWidget(cancel_);
    column->addLayout(closing);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(record_, &QPushButton::clicked, this, &GreetingRecordDialog::PressRecord);
    connect(stop_, &QPushButton::clicked, this, &GreetingRecordDialog::PressStop);
    connect(play_, &QPushButton::clicked, this, &GreetingRecordDialog::PressPlay);
    connect(save_, &QPushButton::clicked, this, &GreetingRecordDialog::PressSave);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Closing the window (Escape, the title bar) is Cancel; nothing is written.
    connect(this, &QDialog::finished, this, [this] {
        recorder_.Stop();
        StopPlaying();
    });
    record_->setDefault(true);
    RefreshTexts();
}

GreetingRecordDialog::~GreetingRecordDialog() {
    // No block may be posted to a window that is going.
    recorder_.Stop();
    StopPlaying();
}

void GreetingRecordDialog::RefreshTexts() {
    const int32_t language = ShownLanguage(app_.state());
    setWindowTitle(Text(i18n::TXT_RECORD_GREETING, language));
    record_->setText(Text(i18n::TXT_RECORD, language));
    stop_->setText(Text(i18n::TXT_STOP, language));
    play_->setText(Text(i18n::TXT_PLAY, language));
    save_->setText(Text(i18n::TXT_SAVE, language));
    cancel_->setText(Text(i18n::TXT_CANCEL, language));
    meter_->setAccessibleName(Text(i18n::TXT_SOUND_LEVEL, language));
    ShowState();
}

void GreetingRecordDialog::ShowState() {
    const int32_t language = ShownLanguage(app_.state());
    const bool device = recorder_.HasDevice() && !failed_;
    const bool recording = recorder_.Recording();
    const bool take = recorder_.HasTake();
    if (!recorder_.HasDevice()) {
        notice_->setText(Text(i18n::TXT_NO_MICROPHONE, language));
    } else if (failed_) {
        notice_->setText(Text(i18n::TXT_MICROPHONE_FAILED, language));
    }
    notice_->setVisible(!device);
    time_->setText(TimeText(recorder_.Elapsed()) + QStringLiteral(" / ") +
                   TimeText(recorder_.Longest()));
    meter_->setValue(recording ? MeterValue(recorder_.Level()) : 0);
    meter_->setEnabled(device);
    record_->setEnabled(recorder_.HasDevice() && !recording && !playing_);
    stop_->setEnabled(recording || playing_);
    play_->setEnabled(take && !playing_);
    save_->setEnabled(take && !playing_);
}

void GreetingRecordDialog::PressRecord() {
    if (!record_->isEnabled()) {
        return;
    }
    StopPlaying();
    // The capture's blocks arrive on the input's thread; the window follows on its own.
    const platform::InputStart started = recorder_.Start([this] {
        QMetaObject::invokeMethod(
            this, [this] { ShowState(); }, Qt::QueuedConnection);
    });
    failed_ = started == platform::InputStart::Failed;
    ShowState();
    if (recorder_.Recording()) {
        stop_->setFocus();
    }
}

void GreetingRecordDialog::PressStop() {
    recorder_.Stop();
    StopPlaying();
    ShowState();
}

void GreetingRecordDialog::PressPlay() {
    if (!recorder_.HasTake() || playing_) {
        return;
    }
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    const auto file =
        platform::CreateTempFile(error ? std::filesystem::path("/tmp") : folder, "GREET");
    if (!file) {
        platform::Trace("Greeting: no scratch file to play the take from\n");
        return;
    }
    heard_ = std::make_unique<platform::TempFileGuard>(*file);
    if (const std::string why = recorder_.Save(*file); !why.empty()) {
        platform::Trace("Greeting: cannot write the take to play it: %s\n", why.c_str());
        return;
    }
    playing_ = true;
    app_.soundPlayer().Play(*file, translated_.handle(), kTakeSound);
    ShowState();
}

void GreetingRecordDialog::StopPlaying() {
    if (playing_) {
        app_.soundPlayer().Stop();
        playing_ = false;
    }
}

bool GreetingRecordDialog::PressSave() {
    recorder_.Stop();
    StopPlaying();
    const std::string why = recorder_.Save(target_);
    if (why.empty()) {
        platform::Trace("Greeting: recorded into %s (%lld ms)\n", target_.c_str(),
                        static_cast<long long>(recorder_.Elapsed().count()));
        accept();
        return true;
    }
    platform::Trace("Greeting: cannot save %s: %s\n", target_.c_str(), why.c_str());
    const int32_t language = ShownLanguage(app_.state());
    app_.messageBoxes().Show(
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_GREETING_NOT_SAVED, language)) + "\n" + why,
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_RECORD_GREETING, language)));
    ShowState();
    return false;
}

}  // namespace velto::ui
