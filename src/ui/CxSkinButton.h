#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QRegion>

namespace velto::ui {

// A bitmap button with state images and, when a mask is given, the outline of the mask:
// pixels of the mask's transparent colour are outside the button, so a click there goes
// to the parent. Checkable like a check box, so option pages build radio groups from it.
class CxSkinButton : public QAbstractButton {
    Q_OBJECT
  public:
    struct Skin {
        QPixmap normal;
        QPixmap pressed;   // null: normal
        QPixmap hover;     // null: normal
        QPixmap disabled;  // null: normal
        QPixmap focus;     // null: normal
        QImage mask;       // null: the whole rectangle
        QRgb transparent = qRgb(255, 255, 255);
    };

    explicit CxSkinButton(QWidget* parent = nullptr);

    // Loads the images and builds the region once (not on every paint).
    void SetSkin(Skin skin);
    // Replaces the normal image only (the blink of the missed-call button).
    void SetNormalImage(const QPixmap& normal);
    const QPixmap& normalImage() const { return skin_.normal; }
    const QRegion& region() const { return region_; }

    // The pixels of `mask` that differ from `transparent`, as rows of one-pixel-high
    // rectangles joined into one region (walked from the bottom row up).
    static QRegion RegionFromMask(const QImage& mask, QRgb transparent);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    Skin skin_;
    QRegion region_;
    bool hover_ = false;
};

}  // namespace velto::ui
