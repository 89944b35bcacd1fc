#pragma once

#include <QLabel>

namespace velto::ui {

// A label that acts as a link: it shows the hand cursor and says when it is clicked.
class HandCursorStatic : public QLabel {
    Q_OBJECT
  public:
    explicit HandCursorStatic(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace velto::ui
