#pragma once

#include <QPushButton>
#include <QSize>
#include <QString>

namespace velto::ui {

// A push button with an icon shown at 24 x 24 beside its text (the page buttons of the
// options dialog). On a dark palette the icon's dark grey ink takes the button's text
// colour, so that it stays visible.
class CSXButton : public QPushButton {
    Q_OBJECT
  public:
    explicit CSXButton(QWidget* parent = nullptr);
    // An artwork name (see Artwork.h), shown at width x height.
    void SetIcon(const QString& artwork, int width = 24, int height = 24);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void PaintIcon();

    QString artwork_;
    QSize iconSize_;
};

}  // namespace velto::ui
