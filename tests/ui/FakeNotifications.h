#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace velto::ui::test {

// A session bus of the test's own: dbus-daemon with a configuration that listens on a
// socket in `folder` and knows no services to start, so that nothing of the machine answers.
class PrivateBus {
  public:
    explicit PrivateBus(const std::filesystem::path& folder);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    // False when dbus-daemon is not installed (or did not start).
    bool running() const { return !address_.empty(); }
    const std::string& address() const { return address_; }
    // A connection of its own to this bus, under `name` (unique in the process).
    QDBusConnection Connect(const QString& name) const;

  private:
    std::unique_ptr<velto::test::ChildProcess> daemon_;
    std::string address_;
};

// org.freedesktop.Notifications as a desktop serves it, recording what it is asked.
class FakeNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited READ Inhibited)
  public:
    struct Note {
        QString appName;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        uint id = 0;
    };
    enum class Mode {
        Answers,                // answers Notify; Inhibited is a property
        AnswersWithoutInhibit,  // answers Notify; has no Inhibited property
        Silent,                 // owns the name and never answers
    };

    // Takes the name on `bus` (a connection of its own).
    FakeNotifications(QDBusConnection bus, Mode mode);
    ~FakeNotifications() override;

    bool Inhibited() const { return inhibited; }
    // As a click on a notification's button would.
    void Invoke(uint id, const QString& key);
    void Close(uint id);
    // A silent service answers at last: the held Notify calls get ids from `firstId` on.
    void AnswerHeld(uint firstId);

    bool inhibited = false;
    std::vector<Note> notes;
    int unanswered = 0;
    std::vector<uint> closed;  // CloseNotification calls

  public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);

  private:
    void Emit(const QString& name, const QList<QVariant>& arguments);

    QDBusConnection bus_;
    Mode mode_;
    std::vector<QDBusMessage> held_;
};

}  // namespace velto::ui::test
