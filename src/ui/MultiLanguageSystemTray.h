#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "core/SharedState.h"

namespace velto::ui {

// The notification-area icon: tooltip "Velto", a menu of Open, Missed calls and Quit in the
// language of the Skype user while attached (else the stored default); a click shows or
// hides the main window, a double click restores it; a balloon tells of a missed call where
// the desktop has no notification service, and a click on it opens the missed calls. A desktop
// without a tray host gets the icon once a host appears (Check, which the main window's blink step
// calls); nothing here trusts QSystemTrayIcon's own idea of being visible. A host that restarts
// gets the icon from Qt.
class MultiLanguageSystemTray : public QObject {
    Q_OBJECT
  public:
    static constexpr int kOpenCommand = 40003;
    static constexpr int kQuitCommand = 40004;
    static constexpr int kMissedCallsCommand = 40005;
    // A single click on the icon.
    static constexpr int kToggleCommand = 40006;
    static constexpr int kBalloonMs = 10000;

    // `command` receives one of the commands above.
    MultiLanguageSystemTray(const core::SharedState& state, std::function<void(int)> command,
                            QObject* parent = nullptr);
    ~MultiLanguageSystemTray() override;

    void SetIcon(const QIcon& icon);
    void SetTooltip(const QString& text);
    QString tooltip() const { return icon_.toolTip(); }
    const QIcon& currentIcon() const { return current_; }
    // Adds the icon when a tray host exists and it is not added yet.
    void Check();
    void Remove();
    bool added() const { return added_; }

    // Relabels the menu for the language in force (also done before each showing).
    void CustomizeMenu();
    QMenu& menu() { return menu_; }
    QAction& openAction() { return *open_; }
    QAction& quitAction() { return *quit_; }
    QAction& missedCallsAction() { return *missedCalls_; }
    // Tests emit its signals as a tray host would.
    QSystemTrayIcon& icon() { return icon_; }

    void ShowBalloon(const QString& title, const QString& text);

    // A tray host exists (tests replace it).
    std::function<bool()> hostAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

  private:
    const core::SharedState& state_;
    std::function<void(int)> command_;
    QSystemTrayIcon icon_;
    QIcon current_;
    QMenu menu_;
    QAction* open_;
    QAction* quit_;
    QAction* missedCalls_;
    bool added_ = false;
    bool removed_ = false;
};

}  // namespace velto::ui
