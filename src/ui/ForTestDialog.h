#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/WindowManager.h"
#include "ui/BannerPanel.h"
#include "ui/CPictureEx.h"
#include "ui/ContactListSlot.h"
#include "ui/CxSkinButton.h"
#include "ui/MultiLanguageSystemTray.h"
#include "ui/WindowTarget.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

class SipAccountView;

// The main window: frameless, 350 x 462, dragged by its top band; the logo, the missed-call
// and options buttons, the attachment state (text and animations), the contact-list area,
// the web panel and the slogan. It owns the tray icon, receives the program's private
// messages under the title "Velto MP3 Ringback Tones", and blinks the missed-call button
// and the tray icon every 800 ms while there is a new missed call.
class ForTestDialog : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 462;
    static constexpr int kBlinkMs = 800;
    static constexpr uint32_t kCommandMessage = 0x0111;  // a menu command, wParam its id
    static constexpr int kTooltipDelayMs = 300;

    // What the attachment flags make the status show.
    enum class Status { None, Waiting, GivePermission, SignIn };

    // `webBase`: scheme, host and port of the web panels ("http://host:3130").
    ForTestDialog(app::Application& app, std::string webBase);
    ~ForTestDialog() override;

    platform::WindowHandle handle() const { return target_.handle(); }
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam, platform::LParam lParam);

    // The dialogs the buttons open (set by whoever builds them).
    void SetOptionsOpener(std::function<void()> open) { openOptions_ = std::move(open); }
    void SetMissedCallOpener(std::function<void()> open) { openMissedCalls_ = std::move(open); }
    // With the SIP backend: the window shows the account's registration instead of the
    // client's attachment, with a button that opens the Account page (`openAccount`).
    void SetSipAccount(SipAccountView* view, std::function<void()> openAccount);
    SipAccountView* sipAccount() const { return sip_; }
    QPushButton* sipButton() { return sipButton_; }

    // Re-reads texts and the attachment state (WM_REFRESH_TEXTS).
    void Refresh();
    // One step of the 800 ms timer.
    void BlinkStep();
    // Shows the window (also from minimised or hidden) and brings it to the front.
    void RestoreFromTray();
    // The tray's Quit: the program ends in order.
    void QuitFromTray();
    // A click on the tray icon: hides the window when it is shown, else restores it.
    void ToggleFromTray();
    // The tray's "Missed calls" (and a notification's "Call list"): the window and the
    // missed-call dialog in front.
    void OpenMissedCallsFromTray();

    static Status ChooseStatus(bool notAvailable, bool refused, bool pending, bool authorizedOnce);
    // Whether a press at `pos` (window coordinates) drags the window.
    static bool IsCaption(QPoint pos) { return pos.y() >= 2 && pos.y() <= 51; }
    std::string PanelAddress() const;

    // Parts, for the dialogs that live in the window and for tests.
    ContactListSlot* contactListSlot() { return contactList_; }
    MultiLanguageSystemTray* tray() { return tray_.get(); }
    CxSkinButton* missedCallButton() { return missed_; }
    CxSkinButton* optionsButton() { return options_; }
    CxSkinButton* closeButton() { return close_; }
    CxSkinButton* minimiseButton() { return minimise_; }
    // The hidden buttons by id: 1053 shows the contact list, 1054 opens the options,
    // 1059 and 1061 do nothing. Null for any other id.
    CxSkinButton* hiddenButton(int id);
    QLabel* statusLabel() { return status_; }
    QLabel* footerLabel() { return footer_; }
    CPictureEx* waitingAnimation() { return waiting_; }
    CPictureEx* permissionAnimation() { return permission_; }
    BannerPanel* banner() { return banner_; }
    QTimer& blinkTimer() { return blink_; }
    Status status() const { return shownStatus_; }
    bool blinkHighlighted() const { return highlighted_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Build();
    // Build's steps: the artwork and the waiting animations, the tray icon, the web panel
    // and the buttons.
    void LoadArtwork();
    void MakeTray();
    void MakeButtons();
    void Layout();
    void ShowStatus(Status status, int32_t language);
    void ShowSipStatus(int32_t language);
    void PlaceStatus();
    void SetBlinkImages(bool highlighted);
    void MissedCallPressed();

    app::Application& app_;
    std::string webBase_;
    WindowTarget target_;
    BannerPanel* banner_ = nullptr;
    CPictureEx* waiting_ = nullptr;
    CPictureEx* permission_ = nullptr;
    QLabel* logo_ = nullptr;
    CxSkinButton* close_ = nullptr;
    CxSkinButton* minimise_ = nullptr;
    CxSkinButton* missed_ = nullptr;
    CxSkinButton* options_ = nullptr;
    std::vector<std::pair<int, CxSkinButton*>> hidden_;
    QLabel* status_ = nullptr;
    QLabel* footer_ = nullptr;
    ContactListSlot* contactList_ = nullptr;
    std::unique_ptr<MultiLanguageSystemTray> tray_;
    QTimer blink_;
    long blinkCount_ = 0;
    bool highlighted_ = false;
    bool painted_ = false;
    Status shownStatus_ = Status::None;
    QPixmap header_;
    QPixmap headerLeft_;
    QPixmap headerRight_;
    QPixmap missedNormal_;
    QPixmap missedHighlighted_;
    QIcon trayNormal_;
    QIcon trayHighlighted_;
    std::optional<QPoint> dragOffset_;
    std::function<void()> openOptions_;
    std::function<void()> openMissedCalls_;
    SipAccountView* sip_ = nullptr;  // a child of this window
    QPushButton* sipButton_ = nullptr;
    std::function<void()> openAccount_;
};

}  // namespace velto::ui
