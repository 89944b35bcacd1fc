#pragma once

#include <QWidget>

namespace velto::ui {

// A page of a TStackedDialog. The hooks do nothing unless a page overrides them.
class TStackedPage : public QWidget {
    Q_OBJECT
  public:
    explicit TStackedPage(QWidget* parent = nullptr) : QWidget(parent) {}

    // After the page's window exists and sits over the placeholder.
    virtual void OnCreatePage() {}
    // After the page was shown as the active one.
    virtual void OnSetActive() {}
    // Before the page is hidden for another.
    virtual void OnKillActive() {}
    // The language changed: re-read the texts.
    virtual void RefreshTexts() {}
};

}  // namespace velto::ui
