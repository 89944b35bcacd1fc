#include "ui/MissedCallDialog.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "app/Application.h"
#include "callapi/AutomationError.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/Artwork.h"
#include "ui/Colours.h"
#include "ui/ContactEditor.h"
#include "ui/PartnerList.h"
#include "ui/Texts.h"
#include "ui/WebPages.h"

namespace velto::ui {
namespace {

constexpr const char* kMailboxPath = "/veltorbt/v1_2/adpanel/mailbox/?lang=";
constexpr int kAdHeight = 60;
constexpr int kButtonSize = 22;

CxSkinButton* RowButton(QWidget* parent, const QString& artwork) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    skin.normal = ArtworkPixmap(artwork, QSize(kButtonSize, kButtonSize));
    skin.hover = ArtworkPixmap(artwork + QStringLiteral("_hi"), QSize(kButtonSize, kButtonSize));
    skin.pressed = skin.hover;
    skin.disabled =
        ArtworkPixmap(artwork + QStringLiteral("_off"), QSize(kButtonSize, kButtonSize));
    button->SetSkin(std::move(skin));
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

// A round "add" button in the look of the row's other buttons (the artwork has none): a
// white plus on green, lighter under the mouse; drawn at twice the size for sharp edges.
QPixmap PlusPixmap(QColor fill) {
    constexpr int kScale = 2;
    const int size = kButtonSize * kScale;
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
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

QPixmap StatusPixmap(int32_t icon) {
    return ArtworkPixmap(QStringLiteral("status_%1").arg(icon), QSize(16, 16));
}

}  // namespace

MissedCallDialog::MissedCallDialog(app::Application& app, QWidget* parent, ContactEditor* editor)
    : SubMenuDialog(app, parent, kHeight),
      editor_(editor),
      scroll_(new RowScrollArea(this)),
      preview_(app) {
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
        rows_.push_back({row, nextId_++, nullptr, nullptr, nullptr, nullptr});
        Row& added = rows_.back();
        added.widget = MakeRowWidget(added);
        scroll_->AddRow(added.widget);
    }
    PaintRows();
}

QWidget* MissedCallDialog::MakeRowWidget(Row& row) {
    auto* widget = new QWidget(scroll_->rows());
    widget->setFixedHeight(kRowHeight);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(8, 0, 10, 0);
    layout->setSpacing(8);
    row.icon = new QLabel(widget);
    row.icon->setPixmap(StatusPixmap(row.row.status));
    layout->addWidget(row.icon);
    auto* text = new QVBoxLayout;
    text->setSpacing(0);
    auto* name = new QLabel(widget);
    row.name = name;
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    const QString fullName = QString::fromStdU16String(row.row.name);
    name->setText(name->fontMetrics().elidedText(fullName, Qt::ElideRight, 220));
    name->setToolTip(fullName);
    auto* time = new QLabel(QString::fromStdString(row.row.record.time), widget);
    time->setStyleSheet(
        QStringLiteral("color: %1;").arg(QuietTextColour(widget->palette()).name()));
    text->addWidget(name);
    text->addWidget(time);
    layout->addLayout(text, 1);
    row.play = preview_.AddButton(widget, row.id);
    row.play->setEnabled(row.row.record.hasVoiceMessage);
    row.remove = RowButton(widget, QStringLiteral("btn_delete"));
    if (editor_ != nullptr && !row.row.known &&
        ContactEditor::CanAdd(row.row.record.partnerHandle)) {
        auto* add = AddButton(widget);
        row.add = add;
        layout->addWidget(add);
        const int id = row.id;
        connect(add, &QAbstractButton::clicked, this,
                [this, id] { PressAddContact(IndexOfId(id)); });
    }
    layout->addWidget(row.play);
    layout->addWidget(row.remove);
    const int id = row.id;
    connect(row.play, &QAbstractButton::clicked, this, [this, id] { PressPlay(IndexOfId(id)); });
    connect(row.remove, &QAbstractButton::clicked, this,
            [this, id] { PressDelete(IndexOfId(id)); });
    return widget;
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
    return preview_.playing() == 0 ? -1 : IndexOfId(preview_.playing());
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
    if (index < 0 || index >= RowCount() || !rows_[index].row.record.hasVoiceMessage) {
        return;
    }
    preview_.Press(rows_[index].id,
                   std::filesystem::path(platform::Utf16ToUtf8(rows_[index].row.record.voiceFile)));
}

void MissedCallDialog::PressDelete(int index) {
    if (index < 0 || index >= RowCount()) {
        return;
    }
    const int32_t language = ShownLanguage(application().state());
    const auto answer = application().messageBoxes().Show(
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_CONFIRM_DELETION, language)),
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_DELETE, language)),
        platform::MessageBoxButtons::YesNo);
    if (answer != platform::MessageBoxAnswer::Yes) {
        return;
    }
    preview_.RemoveButton(rows_[index].id);
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
        row.name->setText(row.name->fontMetrics().elidedText(name, Qt::ElideRight, 220));
        row.name->setToolTip(name);
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
        row.play->setToolTip(Text(i18n::TXT_PLAY, language));
        row.remove->setToolTip(Text(i18n::TXT_DELETE, language));
        row.play->setAccessibleName(Text(i18n::TXT_PLAY, language));
        row.remove->setAccessibleName(Text(i18n::TXT_DELETE, language));
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
    banner()->setGeometry(area.left(), area.top(), area.width(), kAdHeight);
    scroll_->setGeometry(area.left(), area.top() + kAdHeight + 4, area.width(),
                         area.height() - kAdHeight - 4);
}

}  // namespace velto::ui
