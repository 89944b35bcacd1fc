#include "ui/MultiLanguageSystemTray.h"

#include "i18n/LanguageTable.h"
#include "ui/Texts.h"

namespace velto::ui {

MultiLanguageSystemTray::MultiLanguageSystemTray(const core::SharedState& state,
                                                 std::function<void(int)> command, QObject* parent)
    : QObject(parent), state_(state), command_(std::move(command)) {
    open_ = menu_.addAction(QStringLiteral("Open"));
    missedCalls_ = menu_.addAction(QStringLiteral("Missed calls"));
    quit_ = menu_.addAction(QStringLiteral("Close"));
    menu_.setDefaultAction(open_);
    connect(open_, &QAction::triggered, this, [this] { command_(kOpenCommand); });
    connect(missedCalls_, &QAction::triggered, this, [this] { command_(kMissedCallsCommand); });
    connect(quit_, &QAction::triggered, this, [this] { command_(kQuitCommand); });
    connect(&menu_, &QMenu::aboutToShow, this, &MultiLanguageSystemTray::CustomizeMenu);
    // A double click comes after the click of its first press: that click shows or hides
    // the window, the double click then restores it in either case.
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    command_(kToggleCommand);
                } else if (reason == QSystemTrayIcon::DoubleClick) {
                    command_(kOpenCommand);
                }
            });
    connect(&icon_, &QSystemTrayIcon::messageClicked, this,
            [this] { command_(kMissedCallsCommand); });
    icon_.setContextMenu(&menu_);
    icon_.setToolTip(QStringLiteral("Velto"));
    CustomizeMenu();
}

MultiLanguageSystemTray::~MultiLanguageSystemTray() {
    Remove();
}

void MultiLanguageSystemTray::SetIcon(const QIcon& icon) {
    current_ = icon;
    icon_.setIcon(icon);
}

void MultiLanguageSystemTray::SetTooltip(const QString& text) {
    if (icon_.toolTip() != text) {
        icon_.setToolTip(text);
    }
}

void MultiLanguageSystemTray::Check() {
    // Once added, Qt itself docks the icon again in a host that restarts; asking the X
    // server every 800 ms would cost the idle program a round trip each time.
    if (removed_ || added_) {
        return;
    }
    const bool host = hostAvailable();
    if (host && !added_) {
        icon_.hide();
        icon_.show();
    }
    added_ = host;
}

void MultiLanguageSystemTray::Remove() {
    removed_ = true;
    added_ = false;
    icon_.hide();
}

void MultiLanguageSystemTray::CustomizeMenu() {
    const int32_t language =
        state_.SkypeAttached ? state_.CurrentLanguage.load() : state_.DefaultLanguageIndex.load();
    open_->setText(Text(i18n::TXT_OPEN, language));
    quit_->setText(Text(i18n::TXT_QUIT, language));
    missedCalls_->setText(Text(i18n::TXT_TRAY_MISSED_CALLS, language));
}

void MultiLanguageSystemTray::ShowBalloon(const QString& title, const QString& text) {
    icon_.showMessage(title, text, current_, kBalloonMs);
}

}  // namespace velto::ui
