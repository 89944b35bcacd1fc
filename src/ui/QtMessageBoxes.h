#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "platform/MessageBox.h"

namespace velto::ui {

// Message boxes as Qt dialogs, owned by the main window once it exists. A box asked for
// on another thread is shown on the UI thread while the asker waits. Without a user
// (scenario pictures) the box is shown without waiting and answered at once, as a headless
// box would be.
class QtMessageBoxes final : public QObject, public platform::MessageBoxes {
    Q_OBJECT
  public:
    // On the UI thread. `interactive` false: boxes do not wait for a click.
    explicit QtMessageBoxes(bool interactive);

    void SetOwner(QWidget* owner) { owner_ = owner; }

    platform::MessageBoxAnswer Show(const std::string& text, const std::string& caption,
                                    platform::MessageBoxButtons buttons) override;

    // How many boxes were shown (tests).
    int shownCount() const { return shown_; }
    // Without a user: the answers the next boxes give, in turn, instead of the usual one.
    void QueueAnswer(platform::MessageBoxAnswer answer);
    // The text of the last box shown.
    std::string lastText() const;

  private:
    platform::MessageBoxAnswer ShowHere(const std::string& text, const std::string& caption,
                                        platform::MessageBoxButtons buttons);

    bool interactive_;
    QPointer<QWidget> owner_;
    std::atomic<int> shown_{0};
    mutable std::mutex mutex_;
    std::deque<platform::MessageBoxAnswer> answers_;
    std::string lastText_;
};

}  // namespace velto::ui
