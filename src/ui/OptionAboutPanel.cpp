#include "ui/OptionAboutPanel.h"

#include "app/Application.h"
#include "i18n/LanguageTable.h"
#include "ui/Artwork.h"
#include "ui/Texts.h"

namespace velto::ui {
namespace {

constexpr int kPictureTop = 20;

}  // namespace

OptionAboutPanel::OptionAboutPanel(app::Application& app, QWidget* parent)
    : OptionPage(app, parent),
      picture_(new QLabel(this)),
      version_(new QLabel(QString::fromLatin1(kVersionLine), this)),
      link_(new CURLLinkButton(app.urlOpener(), 1077, this)),
      feedback_(new CURLLinkButton(app.urlOpener(), 1076, this)),
      help_(new CURLLinkButton(app.urlOpener(), 1078, this)) {
    picture_->setPixmap(ArtworkPixmap(QStringLiteral("logo"), QSize(162, 78)));
    picture_->adjustSize();
    version_->setAlignment(Qt::AlignCenter);
    link_->setText(QString::fromStdU16String(std::u16string(i18n::kToneWebSite)));
    // Feedback and help are kept, hidden, for a later version of the page.
    feedback_->SetPrefix(QString::fromLatin1(kSupportMail).section(QLatin1Char(':'), 0, 0) +
                         QStringLiteral(":"));
    feedback_->setText(QString::fromLatin1(kSupportMail).section(QLatin1Char(':'), 1));
    feedback_->hide();
    help_->setText(QString::fromLatin1(kHelpPage));
    help_->hide();
    RefreshTexts();
    Centre();
}

void OptionAboutPanel::RefreshTexts() {
    const int32_t language = ShownLanguage(application().state());
    feedback_->setToolTip(Text(i18n::TXT_FEEDBACK, language));
    help_->setToolTip(Text(i18n::TXT_HELP, language));
}

void OptionAboutPanel::resizeEvent(QResizeEvent* event) {
    OptionPage::resizeEvent(event);
    Centre();
}

void OptionAboutPanel::Centre() {
    const int middle = width() / 2;
    picture_->move(middle - picture_->width() / 2, kPictureTop);
    const int versionTop = kPictureTop + picture_->height() + 20;
    version_->setGeometry(0, versionTop, width(), version_->sizeHint().height());
    const QSize link = link_->sizeHint();
    link_->setGeometry(middle - link.width() / 2, versionTop + version_->height() + 12,
                       link.width(), link.height());
}

}  // namespace velto::ui
