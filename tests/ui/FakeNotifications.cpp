#include "FakeNotifications.h"

#include <signal.h>

#include <fstream>

namespace velto::ui::test {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

PrivateBus::PrivateBus(const std::filesystem::path& folder) {
    const std::filesystem::path daemon = "/usr/bin/dbus-daemon";
    std::error_code error;
    if (!std::filesystem::exists(daemon, error)) {
        return;
    }
    const std::filesystem::path config = folder / "bus.conf";
    std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                             "Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig>\n  <type>session</type>\n"
                             "  <listen>unix:path="
                          << (folder / "bus").string()
                          << "</listen>\n  <auth>EXTERNAL</auth>\n"
                             "  <policy context=\"default\">\n"
                             "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                             "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n"
                             "  </policy>\n</busconfig>\n";
    // Its standard error is not the test's, which the test runner reads to the end; and a
    // test process that is killed leaves it behind for two minutes at most.
    daemon_ = std::make_unique<velto::test::ChildProcess>(
        std::vector<std::string>{"/bin/sh", "-c",
                                 "exec /usr/bin/timeout 120 " + daemon.string() +
                                     " --nofork --print-address=1 --config-file='" +
                                     config.string() + "' 2>/dev/null"},
        std::vector<std::string>{"PATH=/usr/bin:/bin"});
    if (daemon_->ReadUntil("\n")) {
        address_ = daemon_->text().substr(0, daemon_->text().find('\n'));
    }
}

PrivateBus::~PrivateBus() {
    if (daemon_) {
        daemon_->Signal(SIGTERM);  // timeout passes it on to the daemon
        daemon_->Wait();
    }
}

QDBusConnection PrivateBus::Connect(const QString& name) const {
    return QDBusConnection::connectToBus(QString::fromStdString(address_), name);
}

FakeNotifications::FakeNotifications(QDBusConnection bus, Mode mode)
    : bus_(std::move(bus)), mode_(mode) {
    bus_.registerObject(
        kPath, this,
        mode == Mode::AnswersWithoutInhibit
            ? QDBusConnection::ExportAllSlots
            : QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    bus_.registerService(kInterface);
}

FakeNotifications::~FakeNotifications() {
    bus_.unregisterService(kInterface);
    bus_.unregisterObject(kPath);
}

uint FakeNotifications::Notify(const QString& appName, uint, const QString&, const QString& summary,
                               const QString& body, const QStringList& actions,
                               const QVariantMap& hints, int) {
    if (mode_ == Mode::Silent) {
        setDelayedReply(true);
        held_.push_back(message());
        ++unanswered;
        return 0;
    }
    const uint id = static_cast<uint>(notes.size()) + 41;
    notes.push_back({appName, summary, body, actions, hints, id});
    return id;
}

void FakeNotifications::CloseNotification(uint id) {
    closed.push_back(id);
    Close(id);
}

void FakeNotifications::AnswerHeld(uint firstId) {
    for (const QDBusMessage& call : held_) {
        bus_.send(call.createReply(QVariant::fromValue(firstId++)));
    }
    held_.clear();
}

void FakeNotifications::Invoke(uint id, const QString& key) {
    Emit(QStringLiteral("ActionInvoked"), {QVariant::fromValue(id), QVariant(key)});
}

void FakeNotifications::Close(uint id) {
    Emit(QStringLiteral("NotificationClosed"), {QVariant::fromValue(id), QVariant::fromValue(2u)});
}

void FakeNotifications::Emit(const QString& name, const QList<QVariant>& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
    signal.setArguments(arguments);
    bus_.send(signal);
}

}  // namespace velto::ui::test
