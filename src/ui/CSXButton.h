#pragma once

#include <QPushButton>

namespace velto::ui {

// A push button with an icon shown at 24 x 24 beside its text (the page buttons of the
// options dialog).
class CSXButton : public QPushButton {
    Q_OBJECT
  public:
    explicit CSXButton(QWidget* parent = nullptr);
    // An artwork name (see Artwork.h), shown at width x height.
    void SetIcon(const QString& artwork, int width = 24, int height = 24);
};

}  // namespace velto::ui
