#include "ui/ForTestDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QWheelEvent>
#include <algorithm>

#include "app/Application.h"
#include "core/MainApp.h"
#include "core/Messages.h"
#include "headless/HeadlessMainWindow.h"
#include "i18n/Languages.h"
#include "platform/Trace.h"
#include "ui/Artwork.h"
#include "ui/BalancedWrap.h"
#include "ui/Colours.h"
#include "ui/SipAccountView.h"
#include "ui/Texts.h"
#include "ui/model/RegistrationText.h"

namespace velto::ui {

using platform::Trace;

namespace {

constexpr int kBandHeight = 57;
constexpr int kEndPieceWidth = 8;
constexpr int kStatusMargin = 24;
constexpr int kStatusTop = 76;
constexpr int kStatusHeight = 84;
constexpr int kSipStatusLines = 10;
constexpr const char* kPanelPath = "/veltorbt/v1_2/adpanel/main/?lang=";

CxSkinButton* SkinButton(QWidget* parent, const QString& name, QSize size, bool round) {
    auto* button = new CxSkinButton(parent);
    CxSkinButton::Skin skin;
    skin.normal = ArtworkPixmap(name, size);
    skin.hover = ArtworkPixmap(name + QStringLiteral("_hi"), size);
    skin.pressed = skin.hover;
    if (round) {
        skin.mask = ArtworkImage(name + QStringLiteral("_mask"), size);
    }
    button->SetSkin(std::move(skin));
    return button;
}

// The main window's tooltips come after 300 ms (Qt's default is 700): Qt asks the style
// of the widget under the mouse.
class QuickTooltipStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return ForTestDialog::kTooltipDelayMs;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

ForTestDialog::ForTestDialog(app::Application& app, std::string webBase)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Window),
      app_(app),
      webBase_(std::move(webBase)),
      target_(app.windows(), app.loop(), core::kMainWindowTitle,
              [this](uint32_t message, platform::WParam wParam, platform::LParam lParam) {
                  return OnMessage(message, wParam, lParam);
              }) {
    setWindowTitle(QString::fromUtf8(core::kMainWindowTitle));
    setObjectName(QStringLiteral("main"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    Build();
}

ForTestDialog::~ForTestDialog() {
    target_.Destroy();
    blink_.stop();
    Trace("MainWindow: destroyed\n");
}

void ForTestDialog::Build() {
    LoadArtwork();
    MakeTray();
    MakeButtons();
    // The status line and the footer.
    status_ = new QLabel(this);
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    status_->setStyleSheet(QStringLiteral("color: %1;").arg(TextColour(palette()).name()));
    footer_ = new QLabel(this);
    footer_->setAlignment(Qt::AlignCenter);
    footer_->setStyleSheet(
        QStringLiteral("background: %1; color: %2;")
            .arg(BandColour(palette()).name(), QuietTextColour(palette()).name()));
    // 7. The contact list's area, hidden until the list arrives.
    contactList_ = new ContactListSlot(this);
    contactList_->hide();
    // Tab goes as one reads the window: the header's buttons left to right, then the list.
    setTabOrder(missed_, options_);
    setTabOrder(options_, minimise_);
    setTabOrder(minimise_, close_);
    setTabOrder(close_, contactList_);
    // 8. Layout, texts, caption.
    Layout();
    Refresh();
    // 10. The blink timer.
    blink_.setTimerType(Qt::CoarseTimer);
    connect(&blink_, &QTimer::timeout, this, &ForTestDialog::BlinkStep);
    blink_.start(kBlinkMs);
}

void ForTestDialog::LoadArtwork() {
    // 1. The fixed size.
    setFixedSize(kWidth, kHeight);
    header_ = ArtworkPixmap(QStringLiteral("header"), QSize(64, kBandHeight));
    headerLeft_ = ArtworkPixmap(QStringLiteral("header_left"), QSize(kEndPieceWidth, kBandHeight));
    headerRight_ =
        ArtworkPixmap(QStringLiteral("header_right"), QSize(kEndPieceWidth, kBandHeight));
    // 2. The waiting animation: loaded, centred, started, hidden.
    waiting_ = new CPictureEx(this);
    waiting_->Load(QStringLiteral("wait"), 80);
    waiting_->move((kWidth - waiting_->width()) / 2, (kHeight - waiting_->height()) / 2);
    waiting_->Draw();
    waiting_->hide();
    permission_ = new CPictureEx(this);
    permission_->hide();
    // 3. The window's icons.
    trayNormal_ = QIcon(ArtworkPixmap(QStringLiteral("tray")));
    trayHighlighted_ = QIcon(ArtworkPixmap(QStringLiteral("tray_hi")));
    setWindowIcon(trayNormal_);
}

void ForTestDialog::MakeTray() {
    // 4. The tray icon.
    tray_ = std::make_unique<MultiLanguageSystemTray>(app_.state(), [this](int command) {
        OnMessage(kCommandMessage, static_cast<platform::WParam>(command), 0);
    });
    tray_->SetIcon(trayNormal_);
    tray_->Check();
}

void ForTestDialog::MakeButtons() {
    // 5. The web panel.
    banner_ = new BannerPanel(app_.clock(), app_.workers(), app_.urlOpener(), this);
    // Buttons, logo, texts.
    logo_ = new QLabel(this);
    logo_->setPixmap(ArtworkPixmap(QStringLiteral("logo"), QSize(81, 39)));
    close_ = SkinButton(this, QStringLiteral("btn_close"), QSize(42, 17), false);
    minimise_ = SkinButton(this, QStringLiteral("btn_min"), QSize(27, 17), false);
    missed_ = SkinButton(this, QStringLiteral("btn_missed"), QSize(39, 39), true);
    options_ = SkinButton(this, QStringLiteral("btn_options"), QSize(39, 39), true);
    for (const int id : {1053, 1054, 1059, 1061}) {
        auto* button = new CxSkinButton(this);
        button->setObjectName(QStringLiteral("button%1").arg(id));
        button->hide();
        hidden_.emplace_back(id, button);
    }
    connect(hiddenButton(1053), &QAbstractButton::clicked, this, [this] {
        contactList_->show();
        contactList_->raise();
    });
    connect(hiddenButton(1054), &QAbstractButton::clicked, this, [this] {
        if (openOptions_) {
            openOptions_();
        }
    });
    // 6. The tooltips' delay.
    auto* tooltipStyle = new QuickTooltipStyle;
    tooltipStyle->setParent(this);
    missed_->setStyle(tooltipStyle);
    options_->setStyle(tooltipStyle);
    missedNormal_ = missed_->normalImage();
    missedHighlighted_ = ArtworkPixmap(QStringLiteral("btn_missed_hi"), QSize(39, 39));
    connect(close_, &QAbstractButton::clicked, this, &QWidget::hide);
    connect(minimise_, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(missed_, &QAbstractButton::clicked, this, &ForTestDialog::MissedCallPressed);
    connect(options_, &QAbstractButton::clicked, this, [this] {
        if (openOptions_) {
            openOptions_();
        }
    });
}

void ForTestDialog::Layout() {
    const QRect client = rect();
    logo_->setGeometry(12, 10, 81, 39);
    missed_->setGeometry(141, 10, 39, 39);
    options_->setGeometry(191, 10, 39, 39);
    close_->setGeometry(client.width() - 43, 1, 42, 17);
    minimise_->setGeometry(client.width() - 70, 1, 27, 17);
    contactList_->setGeometry(client.left() + 1, client.top() + 56, client.width() - 2,
                              client.height() - 102);
    PlaceStatus();
    const int listBottom = client.top() + 56 + client.height() - 102;
    banner_->setGeometry(1, listBottom, client.width() - 2, 24);
    footer_->setGeometry(1, listBottom + 24, client.width() - 2, client.height() - listBottom - 25);
}

CxSkinButton* ForTestDialog::hiddenButton(int id) {
    for (const auto& [candidate, button] : hidden_) {
        if (candidate == id) {
            return button;
        }
    }
    return nullptr;
}

ForTestDialog::Status ForTestDialog::ChooseStatus(bool notAvailable, bool refused, bool pending,
                                                  bool authorizedOnce) {
    if (notAvailable) {
        return Status::SignIn;
    }
    if (refused) {
        return Status::GivePermission;
    }
    if (pending) {
        return authorizedOnce ? Status::Waiting : Status::GivePermission;
    }
    return Status::None;
}

std::string ForTestDialog::PanelAddress() const {
    return webBase_ + kPanelPath + std::string(i18n::LanguageCode(ShownLanguage(app_.state())));
}

void ForTestDialog::Refresh() {
    const core::SharedState& state = app_.state();
    const int32_t language = ShownLanguage(state);
    // 1. Tooltips.
    missed_->setToolTip(Text(i18n::TXT_MISSED_CALL, language));
    options_->setToolTip(Text(i18n::TXT_OPTIONS, language));
    // Icon-only buttons: screen readers say what the tooltip says.
    missed_->setAccessibleName(missed_->toolTip());
    options_->setAccessibleName(options_->toolTip());
    close_->setAccessibleName(Text(i18n::TXT_WINDOW_CLOSE, language));
    close_->setAccessibleDescription(Text(i18n::TXT_WINDOW_CLOSE_DETAIL, language));
    minimise_->setAccessibleName(Text(i18n::TXT_WINDOW_MINIMISE, language));
    // 2.-3. The attachment state (with the SIP backend: the account's registration).
    if (sip_ != nullptr) {
        ShowSipStatus(language);
    } else {
        ShowStatus(ChooseStatus(state.SkypeNotAvailable, state.AuthorizationRefused,
                                state.AuthorizationPending, state.AuthorizedOnce),
                   language);
    }
    // 4. The slogan: the Skype user's language while attached, else the stored one.
    footer_->setText(Text(i18n::TXT_SLOGAN, state.SkypeAttached
                                                ? state.CurrentLanguage.load()
                                                : state.DefaultLanguageIndex.load()));
    // 5. The web panel in the language shown.
    if (!webBase_.empty()) {
        banner_->Navigate(PanelAddress());
    }
    tray_->CustomizeMenu();
    update();
}

void ForTestDialog::PlaceStatus() {
    // Centred, as narrow as keeps its number of lines: no last line of a word or two.
    const int widest = width() - 2 * kStatusMargin;
    const int used = status_->text().isEmpty()
                         ? widest
                         : BalancedWrapWidth(status_->fontMetrics(), status_->text(), widest);
    status_->setGeometry((width() - used) / 2, kStatusTop, used, kStatusHeight);
}

void ForTestDialog::ShowStatus(Status status, int32_t language) {
    shownStatus_ = status;
    // The contact list covers the status while it is shown.
    const bool listShown = contactList_->isVisibleTo(this);
    switch (status) {
        case Status::None:
        case Status::Waiting:
            status_->clear();
            waiting_->setVisible(status == Status::Waiting && !listShown);
            permission_->Stop();
            permission_->hide();
            break;
        case Status::GivePermission:
            status_->setText(Text(i18n::TXT_GIVE_PERMISSION, language));
            PlaceStatus();
            waiting_->hide();
            permission_->Load(QStringLiteral("permission"), 120);
            permission_->move((width() - permission_->width()) / 2,
                              (height() - permission_->height()) / 2 + 20);
            permission_->Draw();
            permission_->setVisible(!listShown);
            break;
        case Status::SignIn:
            status_->setText(Text(i18n::TXT_SIGN_IN_SKYPE, language));
            PlaceStatus();
            waiting_->hide();
            permission_->Stop();
            permission_->hide();
            break;
    }
}

void ForTestDialog::SetSipAccount(SipAccountView* view, std::function<void()> openAccount) {
    sip_ = view;
    openAccount_ = std::move(openAccount);
    sipButton_ = new QPushButton(this);
    sipButton_->setObjectName(QStringLiteral("sipAccountButton"));
    sipButton_->hide();
    connect(sipButton_, &QPushButton::clicked, this, [this] {
        if (openAccount_) {
            openAccount_();
        }
    });
    connect(sip_, &SipAccountView::changed, this, [this] {
        ShowSipStatus(ShownLanguage(app_.state()));
        update();
    });
    Refresh();
}

void ForTestDialog::ShowSipStatus(int32_t language) {
    const skype::sip::RegistrationState state = sip_->state();
    const SipWindowState shown = WindowStateOf(state);
    permission_->Stop();
    permission_->hide();
    if (shown == SipWindowState::Ready) {
        // The contact list, which the program fills once the backend is attached.
        shownStatus_ = Status::None;
        status_->clear();
        waiting_->hide();
        sipButton_->hide();
        contactList_->show();
        contactList_->raise();
        return;
    }
    shownStatus_ = Status::SignIn;
    contactList_->hide();
    // A server's reason may be long: the text takes the lines it needs (up to a limit, the
    // whole of it in the tooltip), the button follows.
    const int widest = width() - 2 * kStatusMargin;
    const QString text = QString::fromStdU16String(RegistrationText(state, language));
    status_->setText(FitLines(status_->fontMetrics(), text, widest, kSipStatusLines));
    status_->setToolTip(status_->text() == text ? QString() : text);
    const int used = BalancedWrapWidth(status_->fontMetrics(), status_->text(), widest);
    const int high = std::max(kStatusHeight, status_->heightForWidth(used) + 8);
    status_->setGeometry((width() - used) / 2, kStatusTop, used, high);
    waiting_->setVisible(shown == SipWindowState::Registering);
    const bool button = shown != SipWindowState::Registering;
    sipButton_->setVisible(button);
    if (button) {
        sipButton_->setText(Text(shown == SipWindowState::NotSetUp ? i18n::TXT_SIP_SET_UP
                                                                   : i18n::TXT_SIP_ACCOUNT_SETTINGS,
                                 language));
        const QSize size = sipButton_->sizeHint().expandedTo(QSize(140, 30));
        sipButton_->setGeometry((width() - size.width()) / 2, kStatusTop + high + 8, size.width(),
                                size.height());
        sipButton_->raise();
    }
}

void ForTestDialog::SetBlinkImages(bool highlighted) {
    highlighted_ = highlighted;
    missed_->SetNormalImage(highlighted ? missedHighlighted_ : missedNormal_);
    tray_->SetIcon(highlighted ? trayHighlighted_ : trayNormal_);
}

void ForTestDialog::BlinkStep() {
    tray_->Check();
    if (app_.missedCalls().NewMissedCall()) {
        tray_->SetTooltip(Text(i18n::TXT_NEW_MISSED_CALL, ShownLanguage(app_.state())));
        ++blinkCount_;
        SetBlinkImages(blinkCount_ % 2 == 1);
    } else {
        if (highlighted_) {
            SetBlinkImages(false);
        }
        tray_->SetTooltip(QStringLiteral("Velto"));
    }
}

void ForTestDialog::MissedCallPressed() {
    if (!app_.state().SkypeAttached) {
        return;
    }
    app_.missedCalls().ClearNewMissedCall();
    BlinkStep();
    if (openMissedCalls_) {
        openMissedCalls_();
    }
}

void ForTestDialog::RestoreFromTray() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
    Trace("MainWindow: brought to the front\n");
}

void ForTestDialog::ToggleFromTray() {
    if (isVisible() && !isMinimized()) {
        hide();
        Trace("MainWindow: hidden from the tray\n");
        return;
    }
    RestoreFromTray();
}

void ForTestDialog::OpenMissedCallsFromTray() {
    RestoreFromTray();
    MissedCallPressed();
}

void ForTestDialog::QuitFromTray() {
    tray_->Remove();
    app_.Quit(0);
}

platform::LResult ForTestDialog::OnMessage(uint32_t message, platform::WParam wParam,
                                           platform::LParam lParam) {
    if (message != core::WM_UPDATEUSERSTATUS) {
        Trace("MainWindow: received %s (0x%04X) wParam=%lu lParam=%ld\n",
              headless::HeadlessMainWindow::MessageName(message), message,
              static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    }
    switch (message) {
        case core::WM_UPDATELIST:
            app_.contactUpdates().OnUpdateList(wParam, lParam);
            status_->clear();
            waiting_->hide();
            permission_->hide();
            contactList_->show();
            contactList_->raise();
            return 0;
        case core::WM_UPDATEUSERSTATUS:
            return app_.contactUpdates().OnUpdateUserStatus(wParam, lParam);
        case core::WM_BLINK_TIMER:
            if (wParam != 0) {
                blink_.start(kBlinkMs);
            } else {
                blink_.stop();
                SetBlinkImages(false);
            }
            return 0;
        case core::WM_SHOW_MAIN_WINDOW:
            RestoreFromTray();
            return 0;
        case core::WM_SKYPE_LOST:
            contactList_->hide();
            Refresh();
            return 0;
        case core::WM_CONTACTS_STABLE:
            return 0;
        case core::WM_TRAY_NOTIFY:
            // 0x0203: a left double click on the icon.
            if (lParam == 0x0203) {
                RestoreFromTray();
            }
            return 0;
        case core::WM_REFRESH_TEXTS:
            Refresh();
            return 0;
        case kCommandMessage:
            if (wParam == MultiLanguageSystemTray::kOpenCommand) {
                RestoreFromTray();
            } else if (wParam == MultiLanguageSystemTray::kQuitCommand) {
                QuitFromTray();
            } else if (wParam == MultiLanguageSystemTray::kToggleCommand) {
                ToggleFromTray();
            } else if (wParam == MultiLanguageSystemTray::kMissedCallsCommand) {
                OpenMissedCallsFromTray();
            }
            return 0;
        default:
            Trace("MainWindow: message 0x%04X not handled\n", message);
            return 0;
    }
}

void ForTestDialog::paintEvent(QPaintEvent*) {
    if (!painted_) {
        // The moment the user first sees the program (start-up benchmarks wait for it).
        painted_ = true;
        Trace("MainWindow: first painted\n");
    }
    QPainter painter(this);
    painter.fillRect(rect(), BodyColour(palette()));
    painter.drawTiledPixmap(QRect(1, 1, width() - 2, kBandHeight), header_);
    painter.drawPixmap(1, 1, headerLeft_);
    painter.drawPixmap(width() - 1 - kEndPieceWidth, 1, headerRight_);
    painter.setPen(FrameColour());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ForTestDialog::closeEvent(QCloseEvent* event) {
    // Closing only hides: the tray brings the window back.
    event->ignore();
    hide();
}

void ForTestDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && IsCaption(pos)) {
        dragOffset_ = pos;
    }
    QWidget::mousePressEvent(event);
}

void ForTestDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *dragOffset_);
    }
    QWidget::mouseMoveEvent(event);
}

void ForTestDialog::mouseReleaseEvent(QMouseEvent* event) {
    dragOffset_.reset();
    QWidget::mouseReleaseEvent(event);
}

void ForTestDialog::wheelEvent(QWheelEvent* event) {
    if (QWidget* list = contactList_->content(); list != nullptr && contactList_->isVisible()) {
        QCoreApplication::sendEvent(list, event);
        return;
    }
    QWidget::wheelEvent(event);
}

}  // namespace velto::ui
