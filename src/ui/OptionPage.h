#pragma once

#include "ui/TStackedPage.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// A page of the options dialog: it reads the settings when made, changes them as the user
// clicks, and on the dialog's OK or Cancel makes the changes last or puts them back.
class OptionPage : public TStackedPage {
    Q_OBJECT
  public:
    explicit OptionPage(app::Application& app, QWidget* parent = nullptr)
        : TStackedPage(parent), app_(app) {}

    // Before Apply: false keeps the dialog open (the page says what is wrong).
    virtual bool Validate() { return true; }
    virtual void Apply() {}
    virtual void Revert() {}

  protected:
    app::Application& application() { return app_; }

  private:
    app::Application& app_;
};

}  // namespace velto::ui
