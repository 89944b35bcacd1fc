#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace velto::ui {

// An animated picture: frames with their delays, played in a loop while the control is
// visible (a hidden animation costs no timer wake-ups).
class CPictureEx : public QWidget {
    Q_OBJECT
  public:
    explicit CPictureEx(QWidget* parent = nullptr);

    // The artwork frames NAME_0, NAME_1, ... each shown `delayMs`; false when there are none.
    bool Load(const QString& name, int delayMs);
    // Starts the animation (it runs while shown until the control goes).
    void Draw();
    void Stop();

    int frameCount() const { return static_cast<int>(frames_.size()); }
    int currentFrame() const { return current_; }
    bool playing() const { return playing_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Step();

    std::vector<QPixmap> frames_;
    int delayMs_ = 100;
    int current_ = 0;
    bool playing_ = false;
    QTimer timer_;
};

}  // namespace velto::ui
