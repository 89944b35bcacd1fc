#pragma once

#include <QMenu>
#include <QPointer>
#include <memory>

#include "ui/ContactListModel.h"
#include "ui/ContactListView.h"
#include "ui/SingleRingToneDialog.h"
#include "ui/TranslatedWindow.h"
#include "ui/model/ContactOrder.h"
#include "ui/model/ToneContext.h"

namespace velto::app {
class Application;
}

namespace velto::ui {

class ContactEditor;
class ContactRowDelegate;

// Messages of the contact list window (besides WM_UPDATEUSERSTATUS and WM_REFRESH_TEXTS).
constexpr uint32_t WM_SELECT_CONTACT = 0x8005;  // wParam: row; select or deselect
constexpr uint32_t WM_OPEN_RINGBACK = 0x8006;   // wParam: row; the ring-back dialog

// The contact list in the middle of the main window: one row per contact and, under the
// selected contact, the option row whose link opens the contact's ring-back tone dialog.
class PartnerList final : public ContactListView {
    Q_OBJECT
  public:
    explicit PartnerList(app::Application& app, QWidget* parent = nullptr);
    ~PartnerList() override;

    platform::WindowHandle handle() const { return translated_->handle(); }
    ContactListModel& contacts() { return *model_; }

    // All rows anew from Skype's contacts (WM_UPDATELIST).
    void Rebuild();
    void Rebuild(const ContactList& contacts);
    // One contact changed (WM_UPDATEUSERSTATUS after the user object was read).
    void UpdateContact(const Contact& contact, bool leftOut);
    void SelectRow(int row);
    // Opens the ring-back tone dialog of the contact at `row` (a contact or its option row).
    SingleRingToneDialog* OpenRingBackDialog(int row);
    // The dialog while it is open, else null.
    SingleRingToneDialog* ringBackDialog() const { return dialog_; }

    // With the SIP backend: the contacts can be edited from the list's context menu.
    void SetContactEditor(ContactEditor* editor);
    ContactEditor* contactEditor() const { return editor_; }
    // The context menu for `row` (-1: no contact there): new, edit, remove, import, export.
    // Null without an editor. The caller owns it.
    QMenu* MakeContactMenu(int row);

  signals:
    // Skype reported a contact's status (`icon`: its status icon, 0..6); other windows that
    // show the contact follow it.
    void contactStatusChanged(const QString& handle, int icon);
    // The rows were made anew from Skype's contacts.
    void rebuilt();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam, platform::LParam lParam);
    void UpdateFromCookie(platform::Cookie cookie);
    void RefreshOptionRow();
    ToneContext Tones();
    void ShowContactMenu(const QPoint& pos);

    app::Application& app_;
    ContactListModel* model_;
    ContactRowDelegate* delegate_;
    QPointer<SingleRingToneDialog> dialog_;
    ContactEditor* editor_ = nullptr;
    std::unique_ptr<TranslatedWindow> translated_;
};

}  // namespace velto::ui
