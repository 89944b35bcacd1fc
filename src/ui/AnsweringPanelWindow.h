#pragma once

#include <QRegion>
#include <QWidget>
#include <functional>

#include "ui/CxSkinButton.h"

namespace velto::ui {

// The shaped pop-up of a ringing call: the caller's name on the left, decline (1059) and
// take (1060) on the right, two 52-pixel circles joined by a rectangle, centred on the
// screen above other windows. It only draws; a press goes to `press` with the button id.
class AnsweringPanelWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 52;
    static constexpr int kStartWidth = 100;
    static constexpr int kStep = 20;
    static constexpr int kMaxTextHeight = 40;
    // A name never makes the panel wider than this (its text is elided instead), so the
    // buttons stay on the screen.
    static constexpr int kMaxTextWidth = 600;

    AnsweringPanelWindow(QString text, std::function<void(int button)> press);

    // The text's width: measured word-wrapped and centred in a box 100 wide and 40 high,
    // widened by 20 while the text is higher than 40.
    static int TextWidth(const QFontMetrics& metrics, const QString& text);
    // Two circles of the window's height at its ends, joined by a rectangle.
    static QRegion Shape(int width);
    // The text, shortened with an ellipsis until it fits two lines of kMaxTextWidth.
    static QString FittedText(const QFontMetrics& metrics, const QString& text);

    int textWidth() const { return textWidth_; }
    const QString& shownText() const { return shown_; }
    CxSkinButton* takeButton() { return take_; }
    CxSkinButton* declineButton() { return decline_; }
    // Centres the panel on the screen it is on.
    void Centre();
    // What screen readers and tooltips call the two picture buttons.
    void NameButtons(const QString& take, const QString& decline);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QString shown_;
    int textWidth_ = 0;
    CxSkinButton* take_;
    CxSkinButton* decline_;
    QPixmap back_;
    QPixmap buttons_;
};

}  // namespace velto::ui
