#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <string>

#include "sipaccount/ContactBook.h"
#include "ui/ContactDialog.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

// The user's SIP contacts as the window edits them: the contact dialog for a new or a
// changed contact, removal after a question, import and export of vCard files. Each change
// is saved into the contact file at once, and the SIP backend is asked to read it again
// (a command it carries out on its own thread), so that a new contact's presence is
// watched at once and the list follows. Only with the SIP backend.
class ContactEditor final : public QObject {
    Q_OBJECT
  public:
    ContactEditor(app::Application& app, std::filesystem::path file, QWidget* owner);

    // Reads the file; a damaged one is kept aside and the user is told (once the window is
    // up, not in the middle of start-up). Every change reads it first, so that what
    // velto-account changed meanwhile is kept.
    void Load();

    skype::sip::ContactBook& book() { return book_; }
    // The dialog while one is open, else null.
    ContactDialog* dialog() const { return dialog_; }

    // The contact dialog, empty or filled with what is known of a caller.
    ContactDialog* OpenNew(const std::string& handle = {}, const std::string& name = {});
    ContactDialog* OpenEdit(const std::string& handle);
    // Asks, then removes. True when the contact is gone.
    bool Remove(const std::string& handle);
    // The file dialogs, then Import or Export.
    void ChooseImport();
    void ChooseExport();
    // Adds the file's new contacts and tells the user what came in.
    skype::sip::ContactBook::ImportReport Import(const std::filesystem::path& from);
    bool Export(const std::filesystem::path& to);

    // Whether a missed call's caller can be added: not anonymous, and a SIP address.
    static bool CanAdd(const std::string& handle);

    // The list was built again (the backend attached): a reload that could not be sent
    // before is sent now.
    void OnListRebuilt();

  signals:
    // A contact was added, changed or removed (its handle; the old one for a change of
    // address).
    void contactsChanged(const QString& handle);

  private:
    ContactDialog* OpenDialog(bool editing, const skype::sip::SipContact& fields,
                              ContactDialog::Apply apply);
    // After a save: the backend reads the file again.
    void Reload();
    void Tell(const QString& text);
    void TellKeptAside(const skype::sip::ContactResult& result);
    int32_t Language() const;

    app::Application& app_;
    skype::sip::ContactBook book_;
    QPointer<QWidget> owner_;
    QPointer<ContactDialog> dialog_;
    bool reloadPending_ = false;
};

}  // namespace velto::ui
