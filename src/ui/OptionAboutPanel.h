#pragma once

#include <QLabel>

#include "ui/CURLLinkButton.h"
#include "ui/OptionPage.h"

namespace velto::ui {

// The product's address, help page and support mailbox.
inline constexpr const char* kHelpPage = "http://www.velto.com/help";
inline constexpr const char* kSupportMail = "mailto:support@velto.com";
inline constexpr const char* kVersionLine = "Velto MP3 Ringback Tones Version 1.2";

// The About page: the version line, the picture and the link to the ring-tone web site,
// centred again whenever the page changes size.
class OptionAboutPanel final : public OptionPage {
    Q_OBJECT
  public:
    explicit OptionAboutPanel(app::Application& app, QWidget* parent = nullptr);

    QLabel* version() { return version_; }
    CURLLinkButton* link() { return link_; }
    void RefreshTexts() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Centre();

    QLabel* picture_;
    QLabel* version_;
    CURLLinkButton* link_;
    CURLLinkButton* feedback_;
    CURLLinkButton* help_;
};

// The page for services to come: empty.
class OptionNewServicesPanel final : public OptionPage {
    Q_OBJECT
  public:
    using OptionPage::OptionPage;
};

}  // namespace velto::ui
