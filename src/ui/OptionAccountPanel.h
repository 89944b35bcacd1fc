#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sipaccount/AccountForm.h"
#include "ui/OptionPage.h"
#include "ui/SipAccountView.h"

class QVBoxLayout;

namespace velto::ui {

// The options dialog's SIP account page: the identity, the password, the server with its
// transport, and every other setting of the account under "Advanced"; the registration
// state in words below. Apply (and the dialog's OK) checks every field by the rules of
// `velto-account set`, says what is wrong next to the field, and saves nothing then; else
// it saves the account and its password on a worker (the keyring may take seconds) and
// has the backend register with it at once.
class OptionAccountPanel final : public OptionPage {
    Q_OBJECT
  public:
    OptionAccountPanel(app::Application& app, SipAccountView& view, QWidget* parent = nullptr);
    ~OptionAccountPanel() override;

    // The field of a setting by its velto-account name ("identity", "stun", ...): the line
    // of a text or number, the box of a switch; "media-encryption" has a choice. Null for
    // any other name.
    QLineEdit* line(const std::string& setting) const;
    QCheckBox* box(const std::string& setting) const;
    QComboBox* encryption() const { return encryption_; }
    QLineEdit* password() const { return password_; }
    QLineEdit* turnPassword() const { return turnPassword_; }
    QLineEdit* server() const { return server_; }
    QComboBox* transport() const { return transport_; }
    // What is said next to a field ("password", "turn-password" and "proxy" too); null for
    // no field.
    QLabel* problem(const std::string& setting) const;
    QLabel* status() const { return status_; }
    QPushButton* advancedButton() const { return advanced_; }
    QPushButton* applyButton() const { return apply_; }
    bool advancedShown() const;
    bool saving() const { return saving_; }

    // Checks every field and says what is wrong next to each; true when all are right.
    bool Check();
    // The dialog's OK: Check, unless nothing was changed.
    bool Validate() override;
    // The dialog's OK: saves what changed (nothing changed: nothing happens).
    void Apply() override;
    // The page's Apply: saves what changed and registers again in any case.
    void ApplyNow();
    void RefreshTexts() override;
    // Shown: the first field takes the keyboard.
    void OnSetActive() override;

  signals:
    // A save ended (on the UI thread).
    void saved(bool ok);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Lays out the basic (false) or the advanced part.
    void ShowPart(QVBoxLayout& outer, bool advanced);
    struct Row {
        QLabel* label = nullptr;
        QLineEdit* line = nullptr;
        QCheckBox* box = nullptr;
        QLabel* problem = nullptr;
    };
    struct Guard;

    QWidget* MakeBasic();
    QWidget* MakeAdvanced();
    void AddLine(QGridLayout* grid, int& row, const std::string& setting, const char* example);
    void AddBox(QGridLayout* grid, int& row, const std::string& setting);
    QLabel* AddProblem(QGridLayout* grid, int& row);
    void Fill();
    skype::sip::AccountValues Collect() const;
    skype::sip::TypedPasswords Typed() const;
    void Save(bool always);
    void Saved(const skype::sip::AccountSaved& outcome, skype::sip::AccountValues after);
    void ReadPasswordPlace();
    void ShowState();
    void ShowStatusText(const QString& text);
    void ShowProblem(QLabel* label, const std::string& reason);

    SipAccountView& view_;
    std::shared_ptr<Guard> guard_;
    skype::sip::AccountValues before_;
    std::map<std::string, Row> rows_;
    QGroupBox* group_;
    QStackedWidget* views_;
    QScrollArea* scroll_ = nullptr;
    QLabel* serverLabel_ = nullptr;
    QLineEdit* server_ = nullptr;
    QComboBox* transport_ = nullptr;
    QLabel* passwordLabel_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* turnPassword_ = nullptr;
    QLabel* encryptionLabel_ = nullptr;
    QComboBox* encryption_ = nullptr;
    QPushButton* advanced_;
    QPushButton* apply_;
    QLabel* status_;
    bool passwordKept_ = false;
    bool turnPasswordKept_ = false;
    bool saving_ = false;
    std::string saveProblem_;
};

}  // namespace velto::ui
