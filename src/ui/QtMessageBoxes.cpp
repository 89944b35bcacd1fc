#include "ui/QtMessageBoxes.h"

#include <QMessageBox>
#include <QThread>
#include <optional>

#include "platform/Trace.h"

namespace velto::ui {

using platform::MessageBoxAnswer;
using platform::MessageBoxButtons;

QtMessageBoxes::QtMessageBoxes(bool interactive) : interactive_(interactive) {}

MessageBoxAnswer QtMessageBoxes::Show(const std::string& text, const std::string& caption,
                                      MessageBoxButtons buttons) {
    if (QThread::currentThread() == thread()) {
        return ShowHere(text, caption, buttons);
    }
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
    QMetaObject::invokeMethod(
        this, [&] { answer = ShowHere(text, caption, buttons); }, Qt::BlockingQueuedConnection);
    return answer;
}

void QtMessageBoxes::QueueAnswer(MessageBoxAnswer answer) {
    std::lock_guard guard(mutex_);
    answers_.push_back(answer);
}

std::string QtMessageBoxes::lastText() const {
    std::lock_guard guard(mutex_);
    return lastText_;
}

MessageBoxAnswer QtMessageBoxes::ShowHere(const std::string& text, const std::string& caption,
                                          MessageBoxButtons buttons) {
    ++shown_;
    std::optional<MessageBoxAnswer> queued;
    {
        std::lock_guard guard(mutex_);
        lastText_ = text;
        if (!answers_.empty()) {
            queued = answers_.front();
            answers_.pop_front();
        }
    }
    platform::Trace("MessageBox: [%s] %s\n", caption.c_str(), text.c_str());
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    if (buttons == MessageBoxButtons::OkCancel) {
        standard = QMessageBox::Ok | QMessageBox::Cancel;
    } else if (buttons == MessageBoxButtons::YesNo) {
        standard = QMessageBox::Yes | QMessageBox::No;
    }
    const MessageBoxAnswer fallback =
        buttons == MessageBoxButtons::YesNo ? MessageBoxAnswer::Yes : MessageBoxAnswer::Ok;
    auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(caption),
                                QString::fromStdString(text), standard, owner_.data());
    if (!interactive_) {
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
        return queued.value_or(fallback);
    }
    const int clicked = box->exec();
    delete box;
    switch (clicked) {
        case QMessageBox::Cancel:
            return MessageBoxAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageBoxAnswer::Yes;
        case QMessageBox::No:
            return MessageBoxAnswer::No;
        case QMessageBox::Ok:
            return MessageBoxAnswer::Ok;
        default:
            // Closed without a button: the safe answer of each kind.
            return buttons == MessageBoxButtons::Ok         ? MessageBoxAnswer::Ok
                   : buttons == MessageBoxButtons::OkCancel ? MessageBoxAnswer::Cancel
                                                            : MessageBoxAnswer::No;
    }
}

}  // namespace velto::ui
