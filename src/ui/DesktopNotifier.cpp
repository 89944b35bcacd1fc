#include "ui/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>
#include <cstdlib>

#include "i18n/LanguageTable.h"
#include "platform/Trace.h"

namespace velto::ui {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// Errors that mean nobody serves the name: no use asking it anything else.
bool NobodyThere(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::ServiceUnknown:
        case QDBusError::NoReply:
        case QDBusError::Disconnected:
        case QDBusError::NoServer:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
            return true;
        default:
            return error.name() == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

const char* Caller(const MissedCallNotice& notice) {
    return notice.record.partnerHandle.empty() ? "an unknown caller"
                                               : notice.record.partnerHandle.c_str();
}

}  // namespace

QDBusConnection ConnectSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0') {
        return QDBusConnection(QStringLiteral("velto-no-session-bus"));
    }
    return QDBusConnection::connectToBus(QString::fromUtf8(address),
                                         QStringLiteral("velto-notifications"));
}

DesktopNotifier::DesktopNotifier(platform::Workers& workers, platform::MessageLoop& loop,
                                 BusConnector connect, Actions actions)
    : workers_(workers),
      loop_(loop),
      actions_(std::move(actions)),
      connection_(QStringLiteral("velto-no-session-bus")) {
    if (!connect) {
        return;
    }
    bus_ = Bus::Connecting;
    std::weak_ptr<int> alive = alive_;
    // The worker may outlive this object: it keeps to the loop and the clock.
    workers_.Start("Notifications bus", [this, alive, &clock = workers_.clock(), &loop = loop_,
                                         connect = std::move(connect)] {
        QDBusConnection connection(QStringLiteral("velto-no-session-bus"));
        {
            platform::Clock::OutsideWait outside(clock);
            connection = connect();
        }
        loop.Post([this, alive, connection] {
            if (!alive.expired()) {
                BusReady(connection);
            }
        });
    });
}

DesktopNotifier::~DesktopNotifier() {
    alive_.reset();
    if (connection_.isConnected()) {
        connection_.disconnect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                               SLOT(OnActionInvoked(uint, QString)));
        connection_.disconnect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"),
                               this, SLOT(OnClosed(uint, uint)));
    }
}

void DesktopNotifier::BusReady(QDBusConnection connection) {
    connection_ = connection;
    if (connection_.isConnected()) {
        bus_ = Bus::Connected;
        // Any sender: the service's ids are its own, and only ours are looked up.
        connection_.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                            SLOT(OnActionInvoked(uint, QString)));
        connection_.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"),
                            this, SLOT(OnClosed(uint, uint)));
    } else {
        bus_ = Bus::None;
        platform::Trace("Notifications: no session bus (%s); the tray tells of missed calls\n",
                        connection_.lastError().message().toUtf8().constData());
    }
    while (!waiting_.empty()) {
        MissedCallNotice notice = std::move(waiting_.front());
        waiting_.pop_front();
        Show(std::move(notice));
    }
}

void DesktopNotifier::Show(MissedCallNotice notice) {
    switch (bus_) {
        case Bus::Connecting:
            waiting_.push_back(std::move(notice));
            return;
        case Bus::None:
            Balloon(notice, QStringLiteral("no session bus"));
            return;
        case Bus::Connected:
            Begin(std::move(notice));
            return;
    }
}

void DesktopNotifier::Begin(MissedCallNotice notice) {
    const uint64_t serial = nextSerial_++;
    inFlight_.emplace(serial, InFlight{std::move(notice), workers_.clock().Now() + kAnswerLimit});
    ArmLimit();
    AskInhibited(serial);
}

void DesktopNotifier::Await(const QDBusPendingCall& call,
                            std::function<void(const QDBusPendingCall&)> done) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                done(*finished);
            });
}

void DesktopNotifier::AskInhibited(uint64_t serial) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("Inhibited");
    Await(connection_.asyncCall(get),
          [this, serial](const QDBusPendingCall& call) { OnInhibited(serial, call); });
}

void DesktopNotifier::OnInhibited(uint64_t serial, const QDBusPendingCall& call) {
    const auto found = inFlight_.find(serial);
    if (found == inFlight_.end()) {
        return;  // the balloon said it already
    }
    if (call.isError()) {
        if (NobodyThere(call.error())) {
            FallBack(serial, call.error().name());
        } else {
            SendNotify(serial);  // a service without do-not-disturb to report
        }
        return;
    }
    const QList<QVariant> answer = call.reply().arguments();
    const bool inhibited =
        !answer.isEmpty() && answer.front().value<QDBusVariant>().variant().toBool();
    if (!inhibited) {
        SendNotify(serial);
        return;
    }
    platform::Trace(
        "Notifications: the desktop's do-not-disturb is on; the call of %s at %s is "
        "not shown\n",
        Caller(found->second.notice), found->second.notice.record.time.c_str());
    inFlight_.erase(found);
}

void DesktopNotifier::SendNotify(uint64_t serial) {
    const MissedCallNotice& notice = inFlight_.at(serial).notice;
    const int32_t language = notice.language;
    const QString callList =
        QString::fromStdU16String(i18n::GetText(i18n::TXT_NOTE_CALL_LIST, language));
    // "default" is the click on the notification itself.
    QStringList actions{QStringLiteral("default"), callList};
    if (notice.canPlay) {
        actions << QStringLiteral("play")
                << QString::fromStdU16String(i18n::GetText(i18n::TXT_PLAY, language));
    }
    actions << QStringLiteral("calls") << callList;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("velto"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar{1}));
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Velto") << uint{0} << QStringLiteral("velto")
           << QString::fromStdU16String(notice.title)
           << QString::fromStdU16String(EscapeNotificationMarkup(notice.caller)) << actions << hints
           << int{-1};
    Await(connection_.asyncCall(notify),
          [this, serial](const QDBusPendingCall& call) { OnNotified(serial, call); });
}

void DesktopNotifier::OnNotified(uint64_t serial, const QDBusPendingCall& call) {
    const auto found = inFlight_.find(serial);
    if (found == inFlight_.end()) {
        // Too late: the balloon said it already, so one telling is enough.
        if (!call.isError() && !call.reply().arguments().isEmpty()) {
            QDBusMessage close = QDBusMessage::createMethodCall(
                kService, kPath, kInterface, QStringLiteral("CloseNotification"));
            close << call.reply().arguments().front().toUInt();
            connection_.asyncCall(close);
        }
        return;
    }
    const QList<QVariant> answer = call.isError() ? QList<QVariant>() : call.reply().arguments();
    if (answer.isEmpty()) {
        FallBack(serial, call.isError() ? call.error().name() : QStringLiteral("no id"));
        return;
    }
    const uint id = answer.front().toUInt();
    platform::Trace("Notifications: the call of %s at %s is shown (id %u)\n",
                    Caller(found->second.notice), found->second.notice.record.time.c_str(), id);
    shown_[id] = found->second.notice.record;
    inFlight_.erase(found);
}

void DesktopNotifier::FallBack(uint64_t serial, const QString& why) {
    const auto found = inFlight_.find(serial);
    if (found == inFlight_.end()) {
        return;
    }
    const MissedCallNotice notice = std::move(found->second.notice);
    inFlight_.erase(found);
    Balloon(notice, why);
}

void DesktopNotifier::Balloon(const MissedCallNotice& notice, const QString& why) {
    platform::Trace(
        "Notifications: no notification service (%s); the tray's balloon tells of the "
        "call of %s at %s\n",
        why.toUtf8().constData(), Caller(notice), notice.record.time.c_str());
    if (actions_.balloon) {
        actions_.balloon(QString::fromStdU16String(notice.title),
                         QString::fromStdU16String(notice.caller));
    }
}

void DesktopNotifier::ArmLimit() {
    if (limitArmed_ || inFlight_.empty()) {
        return;
    }
    limitArmed_ = true;
    // The earliest deadline is the oldest notice's: every notice gets the same limit.
    const platform::Millis deadline = inFlight_.begin()->second.deadline;
    std::weak_ptr<int> alive = alive_;
    workers_.Start("Notifications limit",
                   [this, alive, deadline, &stop = workers_.stop(), &loop = loop_] {
                       if (!stop.SleepUntil(deadline)) {
                           return;
                       }
                       loop.Post([this, alive] {
                           if (!alive.expired()) {
                               OnLimit();
                           }
                       });
                   });
}

void DesktopNotifier::OnLimit() {
    limitArmed_ = false;
    const platform::Millis now = workers_.clock().Now();
    while (!inFlight_.empty() && inFlight_.begin()->second.deadline <= now) {
        FallBack(inFlight_.begin()->first, QStringLiteral("no answer in 3 s"));
    }
    ArmLimit();
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& key) {
    const auto found = shown_.find(id);
    if (found == shown_.end()) {
        return;
    }
    platform::Trace("Notifications: \"%s\" chosen for the call of %s at %s\n",
                    key.toUtf8().constData(), found->second.partnerHandle.c_str(),
                    found->second.time.c_str());
    if (key == QStringLiteral("play")) {
        if (found->second.hasVoiceMessage && actions_.play) {
            actions_.play(found->second);
        }
    } else if (key == QStringLiteral("calls") || key == QStringLiteral("default")) {
        if (actions_.openCallList) {
            actions_.openCallList();
        }
    }
}

void DesktopNotifier::OnClosed(uint id, uint) {
    shown_.erase(id);
}

}  // namespace velto::ui
