#pragma once

#include <QPushButton>
#include <QWidget>
#include <functional>

namespace velto::ui {

// The answering panel while the machine records a caller, in the ringing panel's style:
// "Leaving a message: NAME" on the left, Listen (on or off) and Pick up on the right,
// round ends, centred above other windows. It only draws; a press goes to `press` with
// the button id (AnsweringPanelModel's kListenButton, kPickUpButton).
class ScreeningPanelWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kButtonHeight = 30;
    static constexpr int kButtonGap = 8;
    static constexpr int kMinButtonWidth = 64;

    // `text`: the line to show; `listen`, `pickUp`: the buttons' labels.
    ScreeningPanelWindow(QString text, const QString& listen, const QString& pickUp,
                         std::function<void(int button)> press);

    const QString& shownText() const { return shown_; }
    int textWidth() const { return textWidth_; }
    QPushButton* listenButton() { return listen_; }
    QPushButton* pickUpButton() { return pickUp_; }
    // Follows the model (a press that came from elsewhere).
    void SetListening(bool on);
    void Centre();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString shown_;
    int textWidth_ = 0;
    int textFlags_ = 0;
    int buttonArea_ = 0;
    QPushButton* listen_;
    QPushButton* pickUp_;
    QPixmap back_;
    QPixmap buttons_;
};

}  // namespace velto::ui
