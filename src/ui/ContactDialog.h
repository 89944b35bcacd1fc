#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "sipaccount/ContactBook.h"

namespace velto::ui {

// One contact's name, nickname, SIP address and groups, laid out by Qt so that every
// language's labels fit. OK hands the contact to `apply` (which saves it); what is wrong is
// said next to the field it concerns, and the dialog stays open until a save succeeds.
class ContactDialog final : public QDialog {
    Q_OBJECT
  public:
    using Apply = std::function<skype::sip::ContactResult(const skype::sip::SipContact&)>;

    // `editing`: the title says "Edit contact" rather than "New contact".
    ContactDialog(int32_t language, bool editing, Apply apply, QWidget* parent = nullptr);

    void SetFields(const skype::sip::SipContact& contact);
    // OK: checks the fields, applies them, and closes when that succeeded.
    void Submit();

    QLineEdit* nameField() { return name_; }
    QLineEdit* nicknameField() { return nickname_; }
    QLineEdit* addressField() { return address_; }
    QLineEdit* groupsField() { return groups_; }
    QLabel* addressError() { return addressError_; }
    QLabel* groupsError() { return groupsError_; }
    QLabel* saveError() { return saveError_; }
    QPushButton* okButton() { return ok_; }

  private:
    void ShowProblem(const skype::sip::ContactResult& result);
    QLabel* ErrorLabel();

    int32_t language_;
    Apply apply_;
    QLineEdit* name_;
    QLineEdit* nickname_;
    QLineEdit* address_;
    QLineEdit* groups_;
    QLabel* addressError_;
    QLabel* groupsError_;
    QLabel* saveError_;
    QPushButton* ok_;
};

}  // namespace velto::ui
