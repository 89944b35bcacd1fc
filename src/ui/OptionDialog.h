#pragma once

#include <QLabel>
#include <map>

#include "ui/CSXButton.h"
#include "ui/TStackedDialog.h"
#include "ui/TranslatedWindow.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

class OptionPage;
class SipAccountView;

// The options dialog: page buttons on the left, one page at a time on the right; OK makes
// every page's changes last and saves the settings, Cancel puts them back.
class OptionDialog final : public TStackedDialog {
    Q_OBJECT
  public:
    enum Page {
        kGeneral = 228,
        kNewServices = 229,
        kVoiceMail = 230,
        kAbout = 231,
        kStandardRingBack = 269,
        kRingTone = 284,
        kRules = 290,
        kAccount = 300,
    };
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    // `firstPage`: the page to show first (0: General, or About while Skype is not attached;
    // the Account page then, with the SIP backend). `sip`: the SIP backend's account, which
    // adds the Account page; null: the simulated client, no such page.
    OptionDialog(app::Application& app, int firstPage = 0, QWidget* parent = nullptr,
                 SipAccountView* sip = nullptr);
    ~OptionDialog() override;

    CSXButton* pageButton(int page) const;
    OptionPage* page(int page) const;
    int activePage() const;

  public slots:
    void accept() override;
    void reject() override;

  protected:
    TStackedPage* CreatePage(int templateId) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void RefreshTexts();

    app::Application& app_;
    SipAccountView* sip_;
    const bool attached_;
    std::map<int, CSXButton*> buttons_;
    QPushButton* ok_;
    QPushButton* cancel_;
    std::unique_ptr<TranslatedWindow> translated_;
};

}  // namespace velto::ui
