#include "ui/FilePickUpDialog.h"

#include <QFileDialog>

#include "app/Application.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/Colours.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

constexpr int kPickUpHeight = 300;

i18n::TextKey TitleKey(FilePickUpDialog::Purpose purpose) {
    switch (purpose) {
        case FilePickUpDialog::Purpose::Greeting:
            return i18n::TXT_SELECT_GREETING;
        case FilePickUpDialog::Purpose::RingTone:
            return i18n::TXT_SELECT_RINGTONE;
        default:
            return i18n::TXT_RINGBACK_SETTINGS;
    }
}

}  // namespace

FilePickUpDialog* FilePickUpDialog::Open(app::Application& app, Purpose purpose, QWidget* parent) {
    auto* picker = new FilePickUpDialog(app, purpose, parent);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->open();
    return picker;
}

FilePickUpDialog::FilePickUpDialog(app::Application& app, Purpose purpose, QWidget* parent)
    : SubMenuDialog(app, parent, kPickUpHeight),
      purpose_(purpose),
      note_(new QLabel(this)),
      path_(new QLineEdit(this)),
      browse_(new QPushButton(this)),
      busyAnimation_(new CPictureEx(this)),
      target_(app.windows(), app.loop(), {},
              [this](uint32_t message, platform::WParam wParam, platform::LParam lParam) {
                  return OnMessage(message, wParam, lParam);
              }) {
    setObjectName(QStringLiteral("FilePickUpDialog"));
    banner()->hide();
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->setStyleSheet(QStringLiteral("color: %1;").arg(QuietTextColour(palette()).name()));
    connect(browse_, &QPushButton::clicked, this, &FilePickUpDialog::Browse);
    busyAnimation_->Load(QStringLiteral("wait"), 100);
    busyAnimation_->hide();
    RefreshTexts();
    Layout();
}

FilePickUpDialog::~FilePickUpDialog() {
    // A report that comes after the dialog went finds no window.
    target_.Destroy();
}

void FilePickUpDialog::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    const QString title = Text(TitleKey(purpose_), language);
    setWindowTitle(title);
    this->title()->setText(title);
    note_->setText(Text(i18n::TXT_MP3_LEGAL_NOTE, language));
    browse_->setText(Text(i18n::TXT_BROWSE, language));
    okButton()->setText(Text(i18n::TXT_OK, language));
    cancelButton()->setText(Text(i18n::TXT_CANCEL, language));
}

void FilePickUpDialog::resizeEvent(QResizeEvent* event) {
    SubMenuDialog::resizeEvent(event);
    Layout();
}

void FilePickUpDialog::Layout() {
    const QRect area = contentArea().adjusted(14, 14, -14, -10);
    const int browseWidth = std::max(80, browse_->sizeHint().width());
    path_->setGeometry(area.left(), area.top(), area.width() - browseWidth - 8, 26);
    browse_->setGeometry(area.right() - browseWidth + 1, area.top(), browseWidth, 26);
    note_->setGeometry(area.left(), area.top() + 38, area.width(), area.height() - 38);
    const QSize busy = busyAnimation_->sizeHint();
    busyAnimation_->setGeometry(area.center().x() - busy.width() / 2, area.bottom() - busy.height(),
                                busy.width(), busy.height());
}

void FilePickUpDialog::Browse() {
    const int32_t language = ShownLanguage(application().state());
    const QString file = QFileDialog::getOpenFileName(this, Text(TitleKey(purpose_), language),
                                                      path_->text(), QString::fromLatin1(kFilter));
    if (!file.isEmpty()) {
        path_->setText(file);
    }
}

void FilePickUpDialog::accept() {
    if (job_) {
        return;
    }
    const QString path = path_->text().trimmed();
    if (path.isEmpty()) {
        const int32_t language = ShownLanguage(application().state());
        application().messageBoxes().Show(
            platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_INVALID_FORMAT, language)), "Velto");
        return;
    }
    SetBusy(true);
    job_ = application().StartToneConversion(path.toStdU16String(), target_.handle());
}

void FilePickUpDialog::reject() {
    // The worker's tone would be left without an owner.
    if (!job_) {
        SubMenuDialog::reject();
    }
}

void FilePickUpDialog::SetBusy(bool busy) {
    okButton()->setEnabled(!busy);
    cancelButton()->setEnabled(!busy);
    browse_->setEnabled(!busy);
    path_->setReadOnly(busy);
    busyAnimation_->setVisible(busy);
    if (busy) {
        busyAnimation_->Draw();
    } else {
        busyAnimation_->Stop();
    }
}

platform::LResult FilePickUpDialog::OnMessage(uint32_t message, platform::WParam,
                                              platform::LParam) {
    if (message == audio::WM_CONVERSION_DONE) {
        // Handled once the worker has let go: a message box must not hold it.
        QMetaObject::invokeMethod(this, &FilePickUpDialog::ConversionDone, Qt::QueuedConnection);
    }
    return 0;
}

void FilePickUpDialog::ConversionDone() {
    if (!job_) {
        return;
    }
    const std::shared_ptr<audio::ConvertingThread> job = std::move(job_);
    job_.reset();
    SetBusy(false);
    if (job->Succeeded() && job->ItemId() != -1) {
        itemId_ = job->ItemId();
        sourceName_ = job->SourceName();
        SubMenuDialog::accept();
        return;
    }
    platform::Trace("FilePickUpDialog: %s was not made into a tone\n",
                    path_->text().toStdString().c_str());
    const int32_t language = ShownLanguage(application().state());
    application().messageBoxes().Show(
        platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_INVALID_FORMAT, language)), "Velto");
}

}  // namespace velto::ui
