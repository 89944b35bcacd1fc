#include "ui/PartnerList.h"

#include <QMouseEvent>

#include "app/Application.h"
#include "callapi/AutomationError.h"
#include "core/Messages.h"
#include "platform/Trace.h"
#include "ui/ContactRowDelegate.h"
#include "ui/SingleRingToneDialog.h"
#include "ui/Texts.h"

namespace velto::ui {

PartnerList::PartnerList(app::Application& app, QWidget* parent)
    : ContactListView(parent),
      app_(app),
      model_(new ContactListModel(this)),
      delegate_(new ContactRowDelegate(this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    setMouseTracking(true);
    translated_ = std::make_unique<TranslatedWindow>(
        app_, [this] { RefreshOptionRow(); },
        [this](uint32_t message, platform::WParam wParam, platform::LParam lParam) {
            return OnMessage(message, wParam, lParam);
        });
}

PartnerList::~PartnerList() = default;

ToneContext PartnerList::Tones() {
    return {app_.userSettings(), app_.settingFile(), [this] { return app_.partner().Tones(); }};
}

void PartnerList::Rebuild() {
    ContactList contacts;
    if (const auto skype = app_.skypeLink().SkypeObject()) {
        try {
            contacts = ReadContacts(*skype);
        } catch (const skype::AutomationError& error) {
            platform::Trace("Contact list: cannot read the contacts: %u(%x)\n",
                            error.unsignedCode(), error.unsignedCode());
        }
    }
    Rebuild(contacts);
}

void PartnerList::Rebuild(const ContactList& contacts) {
    setEnabled(false);
    model_->state().Rebuild(contacts);
    app_.state().ContactListFilled = true;
    setEnabled(true);
    emit rebuilt();
}

void PartnerList::UpdateContact(const Contact& contact, bool leftOut) {
    model_->state().Update(contact, leftOut);
}

void PartnerList::SelectRow(int row) {
    model_->state().Select(row);
    const int optionRow = model_->state().OptionRow();
    if (optionRow >= 0) {
        RefreshOptionRow();
        scrollTo(model_->index(optionRow), QAbstractItemView::EnsureVisible);
    }
}

SingleRingToneDialog* PartnerList::OpenRingBackDialog(int row) {
    if (dialog_ && dialog_->isVisible()) {
        return dialog_;
    }
    if (row < 0 || row >= model_->state().RowCount()) {
        return nullptr;
    }
    const std::string handle = model_->state().ContactAt(row).handle;
    auto* dialog = new SingleRingToneDialog(app_, handle, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this] { RefreshOptionRow(); });
    dialog_ = dialog;
    dialog->open();
    return dialog;
}

void PartnerList::RefreshOptionRow() {
    const auto handle = model_->state().SelectedHandle();
    if (!handle) {
        return;
    }
    model_->SetOptionText(MakeOptionRowText(Tones(), *handle, ShownLanguage(app_.state())));
}

platform::LResult PartnerList::OnMessage(uint32_t message, platform::WParam wParam,
                                         platform::LParam) {
    switch (message) {
        case WM_SELECT_CONTACT:
            SelectRow(static_cast<int>(wParam));
            return 0;
        case WM_OPEN_RINGBACK:
            OpenRingBackDialog(static_cast<int>(wParam));
            return 0;
        case core::WM_UPDATEUSERSTATUS:
            UpdateFromCookie(static_cast<platform::Cookie>(wParam));
            return 0;
        default:
            return 0;
    }
}

void PartnerList::UpdateFromCookie(platform::Cookie cookie) {
    const auto user = app_.table().Get<skype::User>(cookie);
    if (user && model_->state().built()) {
        try {
            const Contact contact{user->Handle(), user->FullName(), user->DisplayName(),
                                  user->OnlineStatus()};
            UpdateContact(contact, user->IsBlocked());
            emit contactStatusChanged(QString::fromStdString(contact.handle),
                                      StatusIconIndex(static_cast<int32_t>(contact.onlineStatus)));
        } catch (const skype::AutomationError& error) {
            platform::Trace("Contact list: cannot read a contact: %u(%x)\n", error.unsignedCode(),
                            error.unsignedCode());
        }
    }
    app_.table().Revoke(cookie);
}

void PartnerList::mousePressEvent(QMouseEvent* event) {
    // Clicks are handled on release; the view's own press handling would select rows.
    event->accept();
}

void PartnerList::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void PartnerList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        return;
    }
    if (index.data(ContactListModel::IsOptionRole).toBool()) {
        OpenRingBackDialog(index.row());
    } else {
        SelectRow(index.row());
    }
}

}  // namespace velto::ui
