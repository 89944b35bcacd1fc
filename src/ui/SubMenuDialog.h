#pragma once

#include <QDialog>
#include <QLabel>
#include <memory>
#include <string>

#include "ui/BannerPanel.h"
#include "ui/CxSkinButton.h"
#include "ui/TranslatedWindow.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// The skinned frame of the secondary dialogs (ring-back choice, missed calls): 350 pixels
// wide, a header band that drags the dialog, a white body with the web panel, a footer
// band with two buttons at its right (75 pixels wide, 15 apart), the title at (16, 8) in
// white and a footer text (hidden unless a dialog shows it). Subclasses put their controls
// into contentArea(), set the page address and relabel in RefreshTexts.
class SubMenuDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 350;
    static constexpr int kButtonWidth = 75;
    static constexpr int kButtonGap = 15;

    SubMenuDialog(app::Application& app, QWidget* parent = nullptr, int height = 420);
    ~SubMenuDialog() override;

    int headerHeight() const { return headerHeight_; }
    int footerHeight() const { return footerHeight_; }
    // Between the header and the footer bands.
    QRect contentArea() const;

    // Where the web panel goes (an address; empty: the placeholder stays).
    void SetPageAddress(std::string address) { pageAddress_ = std::move(address); }
    const std::string& pageAddress() const { return pageAddress_; }
    // Loads the page address into the web panel.
    virtual void Navigate();

    QLabel* title() { return title_; }
    QLabel* footerText() { return footer_; }
    CxSkinButton* okButton() { return ok_; }
    CxSkinButton* cancelButton() { return cancel_; }
    BannerPanel* banner() { return banner_; }
    platform::WindowHandle handle() const { return translated_->handle(); }

    // Whether a press at `pos` (window coordinates) drags the dialog: the header band.
    bool IsCaption(QPoint pos) const { return pos.y() >= 0 && pos.y() < headerHeight_; }

  protected:
    // Re-reads every text in the current language (on WM_REFRESH_TEXTS); call it once
    // when the controls exist.
    virtual void RefreshTexts() {}
    app::Application& application() { return app_; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Place();

    app::Application& app_;
    int headerHeight_;
    int footerHeight_;
    std::string pageAddress_;
    BannerPanel* banner_;
    QLabel* title_;
    QLabel* footer_;
    CxSkinButton* ok_;
    CxSkinButton* cancel_;
    QPixmap header_;
    QPixmap footerBand_;
    std::unique_ptr<TranslatedWindow> translated_;
    std::optional<QPoint> dragOffset_;
};

}  // namespace velto::ui
