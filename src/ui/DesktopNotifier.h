#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "calls/MissedCall.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/Workers.h"
#include "ui/model/MissedCallNotice.h"

namespace velto::ui {

// Tells the desktop of missed calls and voice messages through the freedesktop
// Notifications service (org.freedesktop.Notifications on the session bus): the title says
// what happened, the body names the caller, the buttons are "Play" (only with a message)
// and "Call list". Nothing is shown while the service reports do-not-disturb (its
// Inhibited property, where it has one). Where no service answers within kAnswerLimit of
// the clock, or there is no bus, the tray's balloon says it instead.
//
// Lives on the UI thread. The bus is connected on a worker and every call is asynchronous,
// so the UI thread never waits on the bus; the answer limit is kept by a worker sleeping on
// the clock, at most one at a time.
class DesktopNotifier final : public QObject {
    Q_OBJECT
  public:
    static constexpr platform::Millis kAnswerLimit{3000};

    struct Actions {
        // "Play": the record's voice message.
        std::function<void(const calls::MissedCall&)> play;
        // "Call list" (and a click on the notification itself).
        std::function<void()> openCallList;
        // The fall-back: title and caller in the tray's balloon.
        std::function<void(const QString& title, const QString& body)> balloon;
    };
    // Makes the connection to the bus; runs on a worker. Null: there is no bus.
    using BusConnector = std::function<QDBusConnection()>;

    DesktopNotifier(platform::Workers& workers, platform::MessageLoop& loop, BusConnector connect,
                    Actions actions);
    ~DesktopNotifier() override;
    DesktopNotifier(const DesktopNotifier&) = delete;
    DesktopNotifier& operator=(const DesktopNotifier&) = delete;

    void Show(MissedCallNotice notice);

    // For tests: the bus question is settled (connected, or known to be missing), and how
    // many notices wait for an answer of the service.
    bool busSettled() const { return bus_ != Bus::Connecting; }
    size_t inFlight() const { return inFlight_.size(); }
    size_t shown() const { return shown_.size(); }

  private slots:
    void OnActionInvoked(uint id, const QString& key);
    void OnClosed(uint id, uint reason);

  private:
    enum class Bus { Connecting, Connected, None };
    struct InFlight {
        MissedCallNotice notice;
        platform::Millis deadline;
    };

    void BusReady(QDBusConnection connection);
    void Begin(MissedCallNotice notice);
    void AskInhibited(uint64_t serial);
    void OnInhibited(uint64_t serial, const QDBusPendingCall& call);
    void SendNotify(uint64_t serial);
    void OnNotified(uint64_t serial, const QDBusPendingCall& call);
    void FallBack(uint64_t serial, const QString& why);
    void Balloon(const MissedCallNotice& notice, const QString& why);
    void ArmLimit();
    void OnLimit();
    // Runs `done` on this object's thread when `call` is answered.
    void Await(const QDBusPendingCall& call, std::function<void(const QDBusPendingCall&)> done);

    platform::Workers& workers_;
    platform::MessageLoop& loop_;
    Actions actions_;
    QDBusConnection connection_;
    Bus bus_ = Bus::None;
    std::deque<MissedCallNotice> waiting_;  // until the bus is settled
    std::map<uint64_t, InFlight> inFlight_;
    std::map<uint, calls::MissedCall> shown_;  // by the service's id
    uint64_t nextSerial_ = 1;
    bool limitArmed_ = false;
    // Tasks posted from workers run only while this lives.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// The session bus named by DBUS_SESSION_BUS_ADDRESS, as a connection of its own; without
// that variable a connection that is not connected (nothing is launched for it).
QDBusConnection ConnectSessionBus();

}  // namespace velto::ui
