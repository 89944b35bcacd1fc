#pragma once

#include <QWidget>

namespace velto::ui {

// The main window's area for the contact list (left + 1, top + 56, width - 2, height - 102).
// It stays hidden until the list arrives; the list widget is put in with SetContent and
// then fills the area and receives the main window's mouse wheel.
class ContactListSlot : public QWidget {
    Q_OBJECT
  public:
    explicit ContactListSlot(QWidget* parent = nullptr);

    // Takes `content` as a child filling the slot (null: empty again).
    void SetContent(QWidget* content);
    QWidget* content() const { return content_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* content_ = nullptr;
};

}  // namespace velto::ui
