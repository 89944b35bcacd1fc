#include "ui/PartnerList.h"

#include <QKeyEvent>

#include <algorithm>

#include <QMouseEvent>

#include "app/Application.h"
#include "callapi/AutomationError.h"
#include "core/Messages.h"
#include "platform/Trace.h"
#include "ui/ContactEditor.h"
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

void PartnerList::SetContactEditor(ContactEditor* editor) {
    editor_ = editor;
    setContextMenuPolicy(editor != nullptr ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    if (editor != nullptr) {
        connect(this, &QWidget::customContextMenuRequested, this, &PartnerList::ShowContactMenu,
                Qt::UniqueConnection);
        connect(this, &PartnerList::rebuilt, editor, &ContactEditor::OnListRebuilt,
                Qt::UniqueConnection);
    }
}

QMenu* PartnerList::MakeContactMenu(int row) {
    if (editor_ == nullptr) {
        return nullptr;
    }
    editor_->Load();  // the file as it is now decides what can be edited
    const int32_t language = ShownLanguage(app_.state());
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("contactMenu"));
    ContactEditor* editor = editor_;
    menu->addAction(Text(i18n::TXT_CONTACT_NEW, language), editor, [editor] { editor->OpenNew(); });
    if (row >= 0 && row < model_->state().RowCount()) {
        const std::string handle = model_->state().ContactAt(row).handle;
        // A contact the file does not hold (none, with the SIP backend) cannot be edited.
        const bool inFile = editor->book().Find(handle) != nullptr;
        QAction* edit = menu->addAction(Text(i18n::TXT_CONTACT_EDIT, language), editor,
                                        [editor, handle] { editor->OpenEdit(handle); });
        QAction* remove = menu->addAction(Text(i18n::TXT_CONTACT_REMOVE, language), editor,
                                          [editor, handle] { editor->Remove(handle); });
        edit->setEnabled(inFile);
        remove->setEnabled(inFile);
    }
    menu->addSeparator();
    menu->addAction(Text(i18n::TXT_CONTACT_IMPORT, language), editor,
                    [editor] { editor->ChooseImport(); });
    QAction* exported = menu->addAction(Text(i18n::TXT_CONTACT_EXPORT, language), editor,
                                        [editor] { editor->ChooseExport(); });
    exported->setEnabled(!editor->book().contacts().empty());
    return menu;
}

void PartnerList::ShowContactMenu(const QPoint& pos) {
    const QModelIndex index = indexAt(pos);
    QMenu* menu = MakeContactMenu(index.isValid() ? index.row() : -1);
    if (menu == nullptr) {
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(viewport()->mapToGlobal(pos));
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

// The keyboard selects as clicks do: Up and Down go from contact to contact (past the
// selected one's option row), Home and End to the ends, Enter opens the selected contact's
// ring-back choice.
void PartnerList::keyPressEvent(QKeyEvent* event) {
    const ContactListState& state = model_->state();
    const int count = state.RowCount();
    const int selected = state.SelectedRow();
    const int last = count > 0 && state.KindOf(count - 1) == ContactListState::RowKind::Option
                         ? count - 2
                         : count - 1;
    int target = -1;
    switch (event->key()) {
        case Qt::Key_Down:
            target = selected < 0 ? 0 : std::min(selected + 2, last);
            break;
        case Qt::Key_Up:
            target = selected < 0 ? last : std::max(selected - 1, 0);
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = last;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (state.OptionRow() >= 0) {
                OpenRingBackDialog(state.OptionRow());
            }
            event->accept();
            return;
        default:
            QListView::keyPressEvent(event);
            return;
    }
    event->accept();
    if (target >= 0 && target < count && target != selected) {
        SelectRow(target);
        scrollTo(model_->index(state.SelectedRow()), QAbstractItemView::EnsureVisible);
    }
}

}  // namespace velto::ui
