#include "ui/MissedCallDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include "app/Application.h"
#include "audio/WavExcerpt.h"
#include "callapi/AutomationError.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/WavFile.h"
#include "ui/Artwork.h"
#include "ui/Colours.h"
#include "ui/ContactEditor.h"
#include "ui/PartnerList.h"
#include "ui/SoundPreview.h"
#include "ui/Texts.h"
#include "ui/WebPages.h"

namespace velto::ui {
namespace {

constexpr const char* kMailboxPath = "/veltorbt/v1_2/adpanel/mailbox/?lang=";

CxSkinButton* RowButton(QWidget* parent, const QString& artwork) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    skin.normal = ArtworkPixmap(artwork, QSize(kPlayButtonSize, kPlayButtonSize));
    skin.hover =
        ArtworkPixmap(artwork + QStringLiteral("_hi"), QSize(kPlayButtonSize, kPlayButtonSize));
    skin.pressed = skin.hover;
    skin.disabled =
        ArtworkPixmap(artwork + QStringLiteral("_off"), QSize(kPlayButtonSize, kPlayButtonSize));
    button->SetSkin(std::move(skin));
    button->setFixedSize(kPlayButtonSize, kPlayButtonSize);
    return button;
}

// A round "add" button in the look of the row's other buttons (the artwork has none): a
// white plus on green, lighter under the mouse; drawn at twice the size for sharp edges.
QPixmap PlusPixmap(QColor fill) {
    constexpr int kScale = 2;
    const int size = kPlayButtonSize * kScale;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    const int c = size / 2;
    painter.drawLine(c, c - 10, c, c + 10);
    painter.drawLine(c - 10, c, c + 10, c);
    painter.end();
    pixmap.setDevicePixelRatio(kScale);
    return pixmap;
}

CxSkinButton* AddButton(QWidget* parent) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    skin.normal = PlusPixmap(QColor(0x2e, 0x9a, 0x4c));
    skin.hover = PlusPixmap(QColor(0x45, 0xb8, 0x64));
    skin.pressed = skin.hover;
    button->SetSkin(std::move(skin));
    button->setFixedSize(kPlayButtonSize, kPlayButtonSize);
    return button;
}

QPixmap StatusPixmap(int32_t icon) {
    return ArtworkPixmap(QStringLiteral("status_%1").arg(icon), QSize(16, 16));
}

// The play button's look: pause while the message plays.
CxSkinButton::Skin PlayerSkin(bool playing) {
    if (!playing) {
        return PlayButtonSkin(false, kPlayButtonSize);
    }
    CxSkinButton::Skin skin;
    skin.normal =
        ArtworkPixmap(QStringLiteral("btn_pause"), QSize(kPlayButtonSize, kPlayButtonSize));
    skin.hover =
        ArtworkPixmap(QStringLiteral("btn_pause_hi"), QSize(kPlayButtonSize, kPlayButtonSize));
    skin.pressed = skin.hover;
    return skin;
}

// The play time of the samples present (a header may claim more); 0 for a file that cannot
// be read as a WAV file.
uint32_t MessageLengthMs(const std::filesystem::path& file) {
    const auto layout = platform::ReadWavLayout(file, nullptr);
    return layout ? static_cast<uint32_t>(std::min<uint64_t>(layout->DurationMs(), UINT32_MAX)) : 0;
}

QString TimesText(uint32_t elapsedMs, uint32_t totalMs) {
    return QString::fromStdU16String(PlayTimeText(elapsedMs) + u" / " + PlayTimeText(totalMs));
}

std::filesystem::path VoicePath(const calls::MissedCall& record) {
    return std::filesystem::path(platform::Utf16ToUtf8(record.voiceFile));
}

}  // namespace

MissedCallDialog::MissedCallDialog(app::Application& app, QWidget* parent, ContactEditor* editor)
    : SubMenuDialog(app, parent, kHeight),
      editor_(editor),
      scroll_(new RowScrollArea(this)),
      player_(app, [this](int id) { ShowPlayer(id); }),
      askSavePath_([this](const QString& suggested) {
          const int32_t language = ShownLanguage(application().state());
          return QFileDialog::getSaveFileName(this, Text(i18n::TXT_SAVE_AS, language), suggested,
                                              QStringLiteral("Wave Files (*.wav)"));
      }) {
    setObjectName(QStringLiteral("MissedCallDialog"));
    app.missedCalls().ClearNewMissedCall();
    okButton()->hide();
    SetPageAddress(WebPageAddress(app, kMailboxPath));
    Fill();
    RefreshTexts();
    Layout();
    Navigate();
    if (editor_ != nullptr) {
        connect(editor_, &ContactEditor::contactsChanged, this, &MissedCallDialog::ContactsChanged);
    }
    positions_.setInterval(kPositionRefreshMs);
    connect(&positions_, &QTimer::timeout, this, &MissedCallDialog::ShowPositions);
}

MissedCallDialog::~MissedCallDialog() = default;

void MissedCallDialog::Fill() {
    ContactList contacts;
    if (const auto skype = application().skypeLink().SkypeObject()) {
        try {
            contacts = ReadContacts(*skype);
        } catch (const skype::AutomationError& error) {
            platform::Trace("Missed calls: cannot read the contacts: %u(%x)\n",
                            error.unsignedCode(), error.unsignedCode());
        }
    }
    const std::vector<MissedCallRow> rows =
        MakeMissedCallRows(application().missedCalls().Snapshot(), contacts);
    rows_.reserve(rows.size());
    for (const MissedCallRow& row : rows) {
        rows_.push_back({row, nextId_++, nullptr, nullptr});
        Row& added = rows_.back();
        if (row.record.hasVoiceMessage) {
            const std::filesystem::path file = VoicePath(row.record);
            player_.Add(added.id, file, MessageLengthMs(file));
        }
        added.widget = MakeRowWidget(added);
        scroll_->AddRow(added.widget);
    }
    PaintRows();
}

QWidget* MissedCallDialog::MakeRowWidget(Row& row) {
    auto* widget = new QWidget(scroll_->rows());
    const bool message = row.row.record.hasVoiceMessage;
    widget->setFixedHeight(message ? kMessageRowHeight : kRowHeight);
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(8, message ? 4 : 0, 10, message ? 6 : 0);
    column->setSpacing(2);
    column->addLayout(MakeCallerLine(row, widget));
    if (message) {
        column->addLayout(MakePlayerLine(row, widget));
    }
    ShowHeard(row);
    ConnectRow(row);
    return widget;
}

// The status, the name above the time (and "busy"), then the row's buttons.
QLayout* MissedCallDialog::MakeCallerLine(Row& row, QWidget* widget) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(8);
    row.icon = new QLabel(widget);
    row.icon->setPixmap(StatusPixmap(row.row.status));
    layout->addWidget(row.icon);
    auto* text = new QVBoxLayout;
    text->setSpacing(0);
    row.name = new QLabel(widget);
    const QString fullName = QString::fromStdU16String(row.row.name);
    row.name->setToolTip(fullName);
    auto* when = new QHBoxLayout;
    when->setSpacing(8);
    auto* time = new QLabel(QString::fromStdString(row.row.record.time), widget);
    time->setStyleSheet(
        QStringLiteral("color: %1;").arg(QuietTextColour(widget->palette()).name()));
    when->addWidget(time);
    if (row.row.record.busy) {
        row.busy = new QLabel(widget);
        row.busy->setStyleSheet(
            QStringLiteral("color: %1; font-weight: bold;").arg(WarningColour().name()));
        when->addWidget(row.busy);
    }
    when->addStretch(1);
    text->addWidget(row.name);
    text->addLayout(when);
    layout->addLayout(text, 1);
    if (editor_ != nullptr && !row.row.known &&
        ContactEditor::CanAdd(row.row.record.partnerHandle)) {
        row.add = AddButton(widget);
        layout->addWidget(row.add);
    }
    if (row.row.record.hasVoiceMessage) {
        row.save = RowButton(widget, QStringLiteral("btn_save"));
        layout->addWidget(row.save);
    }
    row.remove = RowButton(widget, QStringLiteral("btn_delete"));
    layout->addWidget(row.remove);
    return layout;
}

// Play / pause, the position bar, and the time played of the whole.
QLayout* MissedCallDialog::MakePlayerLine(Row& row, QWidget* widget) {
    auto* layout = new QHBoxLayout;
    // Under the name, past the status icon.
    layout->setContentsMargins(24, 0, 0, 0);
    layout->setSpacing(8);
    row.play = new CxSkinButton(widget);
    row.play->SetSkin(PlayerSkin(false));
    row.play->setFixedSize(kPlayButtonSize, kPlayButtonSize);
    layout->addWidget(row.play);
    row.bar = new QSlider(Qt::Horizontal, widget);
    const MessagePosition* position = player_.position(row.id);
    row.bar->setRange(0, static_cast<int>(position->totalMs()));
    row.bar->setEnabled(position->totalMs() > 0);
    // The arrow keys move by a second, a click beside the handle by five.
    row.bar->setSingleStep(1000);
    row.bar->setPageStep(5000);
    layout->addWidget(row.bar, 1);
    row.times = new QLabel(TimesText(0, position->totalMs()), widget);
    row.times->setStyleSheet(
        QStringLiteral("color: %1;").arg(QuietTextColour(widget->palette()).name()));
    // One width for every row, so that the bars line up.
    row.times->setMinimumWidth(
        row.times->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")));
    row.times->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(row.times);
    return layout;
}

void MissedCallDialog::ConnectRow(Row& row) {
    const int id = row.id;
    if (row.add != nullptr) {
        connect(row.add, &QAbstractButton::clicked, this,
                [this, id] { PressAddContact(IndexOfId(id)); });
    }
    connect(row.remove, &QAbstractButton::clicked, this,
            [this, id] { PressDelete(IndexOfId(id)); });
    if (row.play == nullptr) {
        return;
    }
    connect(row.play, &QAbstractButton::clicked, this, [this, id] { PressPlay(IndexOfId(id)); });
    connect(row.save, &QAbstractButton::clicked, this, [this, id] { PressSaveAs(IndexOfId(id)); });
    QSlider* bar = row.bar;
    connect(bar, &QSlider::sliderReleased, this,
            [this, id, bar] { SeekTo(IndexOfId(id), static_cast<uint32_t>(bar->value())); });
    // A click beside the handle moves it by a page: the message follows at once.
    connect(bar, &QSlider::actionTriggered, this, [this, id, bar](int action) {
        if (action != QAbstractSlider::SliderMove && !bar->isSliderDown()) {
            QMetaObject::invokeMethod(
                this,
                [this, id, bar] { SeekTo(IndexOfId(id), static_cast<uint32_t>(bar->value())); },
                Qt::QueuedConnection);
        }
    });
}

void MissedCallDialog::ShowHeard(Row& row) {
    const bool fresh = row.row.record.hasVoiceMessage && !row.row.record.heard;
    QFont font = row.name->font();
    font.setBold(fresh);
    row.name->setFont(font);
    const QString fullName = row.name->toolTip();
    row.name->setText(row.name->fontMetrics().elidedText(fullName, Qt::ElideRight, 200));
    // What the bold face says, for those who do not see it.
    row.name->setAccessibleDescription(
        fresh ? Text(i18n::TXT_NOTE_VOICE_MESSAGE, ShownLanguage(application().state()))
              : QString());
}

void MissedCallDialog::PaintRows() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        RowScrollArea::PaintRow(rows_[i].widget, static_cast<int>(i));
    }
}

int MissedCallDialog::IndexOfId(int id) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int MissedCallDialog::PlayingRow() const {
    return player_.playing() == 0 ? -1 : IndexOfId(player_.playing());
}

void MissedCallDialog::UpdateCallerStatus(const QString& handle, int icon) {
    const std::string caller = handle.toStdString();
    for (Row& row : rows_) {
        if (row.row.record.partnerHandle == caller && row.row.status != icon) {
            row.row.status = icon;
            row.icon->setPixmap(StatusPixmap(icon));
        }
    }
}

void MissedCallDialog::FollowStatuses(PartnerList* list) {
    connect(list, &PartnerList::contactStatusChanged, this, &MissedCallDialog::UpdateCallerStatus);
    // Many changes at once arrive as a rebuild of the whole list.
    connect(list, &PartnerList::rebuilt, this, [this, list] {
        const ContactListState& contacts = list->contacts().state();
        for (const Row& row : rows_) {
            const std::string& caller = row.row.record.partnerHandle;
            if (const int at = contacts.RowOf(caller); at >= 0) {
                UpdateCallerStatus(QString::fromStdString(caller),
                                   StatusIconIndex(contacts.ContactAt(at).status));
            }
        }
    });
}

void MissedCallDialog::PressPlay(int index) {
    if (index < 0 || index >= RowCount() || rows_[index].play == nullptr) {
        return;
    }
    Row& row = rows_[index];
    player_.Toggle(row.id);
    // A file that cannot be read plays nothing, and leaves the message new.
    if (player_.playing() == row.id && player_.position(row.id)->totalMs() > 0) {
        MarkHeard(row);
    }
}

void MissedCallDialog::SeekTo(int index, uint32_t ms) {
    if (index < 0 || index >= RowCount() || rows_[index].play == nullptr) {
        return;
    }
    player_.Seek(rows_[index].id, ms);
}

void MissedCallDialog::MarkHeard(Row& row) {
    if (row.row.record.heard) {
        return;
    }
    calls::MissedCallList& list = application().missedCalls();
    if (list.MarkHeard(row.row.record)) {
        list.Save();
    }
    row.row.record.heard = true;
    ShowHeard(row);
}

void MissedCallDialog::ShowPlayer(int id) {
    const int index = IndexOfId(id);
    const MessagePosition* position = player_.position(id);
    if (index < 0 || position == nullptr) {
        return;
    }
    const Row& row = rows_[index];
    const bool playing = position->state() == MessagePosition::State::Playing;
    const int32_t language = ShownLanguage(application().state());
    row.play->SetSkin(PlayerSkin(playing));
    const QString tip = Text(playing ? i18n::TXT_PAUSE : i18n::TXT_PLAY, language);
    row.play->setToolTip(tip);
    row.play->setAccessibleName(tip);
    ShowPosition(row);
    if (player_.playing() != 0) {
        positions_.start();
    } else {
        positions_.stop();
    }
}

void MissedCallDialog::ShowPosition(const Row& row) {
    const uint32_t elapsed = player_.ElapsedMs(row.id);
    // The user's hand on the bar wins until it lets go.
    if (!row.bar->isSliderDown()) {
        row.bar->setValue(static_cast<int>(elapsed));
    }
    row.times->setText(TimesText(elapsed, player_.position(row.id)->totalMs()));
}

void MissedCallDialog::ShowPositions() {
    if (const int index = PlayingRow(); index >= 0) {
        ShowPosition(rows_[index]);
    }
}

bool MissedCallDialog::PressSaveAs(int index) {
    if (index < 0 || index >= RowCount() || rows_[index].save == nullptr) {
        return false;
    }
    const std::filesystem::path source = VoicePath(rows_[index].row.record);
    const QString suggested =
        QDir::home().filePath(QString::fromStdString(source.filename().string()));
    const QString target = askSavePath_ ? askSavePath_(suggested) : QString();
    if (target.isEmpty()) {
        return false;
    }
    const std::string error = audio::SaveWavFrom(source, 0, target.toStdString());
    if (error.empty()) {
        return true;
    }
    platform::Trace("Missed calls: cannot save %s as %s: %s\n", source.c_str(),
                    target.toStdString().c_str(), error.c_str());
    const int32_t language = ShownLanguage(application().state());
    application().messageBoxes().Show(
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_MESSAGE_NOT_SAVED, language)) + "\n" + error,
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_SAVE_AS, language)));
    return false;
}

void MissedCallDialog::PressDelete(int index) {
    if (index < 0 || index >= RowCount()) {
        return;
    }
    const int32_t language = ShownLanguage(application().state());
    // With a message, the question says that it will be gone.
    const i18n::TextKey question = rows_[index].row.record.hasVoiceMessage
                                       ? i18n::TXT_DELETE_MESSAGE
                                       : i18n::TXT_CONFIRM_DELETION;
    const auto answer = application().messageBoxes().Show(
        platform::Utf16ToUtf8(i18n::GetText(question, language)),
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_DELETE, language)),
        platform::MessageBoxButtons::YesNo);
    if (answer != platform::MessageBoxAnswer::Yes) {
        return;
    }
    player_.Remove(rows_[index].id);
    DeleteMissedCall(application().missedCalls(), rows_[index].row.record);
    delete rows_[index].widget;
    rows_.erase(rows_.begin() + index);
    PaintRows();
}

QWidget* MissedCallDialog::PressAddContact(int index) {
    if (index < 0 || index >= RowCount() || rows_[index].add == nullptr || editor_ == nullptr) {
        return nullptr;
    }
    return editor_->OpenNew(rows_[index].row.record.partnerHandle);
}

void MissedCallDialog::ContactsChanged() {
    for (Row& row : rows_) {
        const auto* contact = editor_->book().Find(row.row.record.partnerHandle);
        if (contact == nullptr) {
            continue;
        }
        row.row.known = true;
        const QString name =
            QString::fromStdString(!contact->nickname.empty()   ? contact->nickname
                                   : !contact->fullName.empty() ? contact->fullName
                                                                : row.row.record.partnerHandle);
        row.name->setToolTip(name);
        ShowHeard(row);
        if (row.add != nullptr) {
            row.add->hide();
        }
    }
}

void MissedCallDialog::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    const QString title = Text(i18n::TXT_MISSED_CALL_TITLE, language);
    setWindowTitle(title);
    this->title()->setText(title);
    cancelButton()->setText(Text(i18n::TXT_OK, language));
    for (Row& row : rows_) {
        row.remove->setToolTip(Text(i18n::TXT_DELETE, language));
        row.remove->setAccessibleName(Text(i18n::TXT_DELETE, language));
        if (row.busy != nullptr) {
            row.busy->setText(Text(i18n::TXT_MISSED_BUSY, language));
            row.busy->setToolTip(Text(i18n::TXT_MISSED_BUSY_TIP, language));
        }
        if (row.play != nullptr) {
            ShowPlayer(row.id);
            row.save->setToolTip(Text(i18n::TXT_SAVE_AS, language));
            row.save->setAccessibleName(Text(i18n::TXT_SAVE_AS, language));
            row.bar->setAccessibleName(Text(i18n::TXT_PLAY_POSITION, language));
        }
        if (row.add != nullptr) {
            row.add->setToolTip(Text(i18n::TXT_CONTACT_ADD_CALLER, language));
            row.add->setAccessibleName(Text(i18n::TXT_CONTACT_ADD_CALLER, language));
        }
    }
}

void MissedCallDialog::resizeEvent(QResizeEvent* event) {
    SubMenuDialog::resizeEvent(event);
    Layout();
}

void MissedCallDialog::Layout() {
    const QRect area = contentArea();
    banner()->setGeometry(area.left(), area.top(), area.width(), BannerPanel::kHeight);
    scroll_->setGeometry(area.left(), area.top() + BannerPanel::kHeight + 4, area.width(),
                         area.height() - BannerPanel::kHeight - 4);
}

}  // namespace velto::ui
