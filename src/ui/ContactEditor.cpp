#include "ui/ContactEditor.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include "app/Application.h"
#include "callapi/AutomationError.h"
#include "platform/Trace.h"
#include "ui/Texts.h"

namespace velto::ui {

using platform::Trace;
using skype::sip::ContactProblem;
using skype::sip::ContactResult;
using skype::sip::SipContact;

namespace {

constexpr const char* kReloadCommand = "RELOAD CONTACTS";

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

ContactEditor::ContactEditor(app::Application& app, std::filesystem::path file, QWidget* owner)
    : QObject(owner), app_(app), book_(std::move(file)), owner_(owner) {}

int32_t ContactEditor::Language() const {
    return ShownLanguage(app_.state());
}

void ContactEditor::Load() {
    const auto report = book_.Load();
    for (const std::string& problem : report.problems) {
        Trace("Contacts: %s\n", problem.c_str());
    }
    if (!report.damaged()) {
        return;
    }
    // The backend may have read the damaged file before it was mended.
    reloadPending_ = report.kept > 0;
    const QString text =
        Text(i18n::TXT_CONTACT_DAMAGED, Language()) + QStringLiteral("\n") + Path(report.keptAside);
    QTimer::singleShot(0, this, [this, text] { Tell(text); });
}

bool ContactEditor::CanAdd(const std::string& handle) {
    std::string error;
    return !handle.empty() && handle.rfind("anonymous@", 0) != 0 &&
           skype::sip::ParseContactAddress(handle, error).has_value();
}

ContactDialog* ContactEditor::OpenDialog(bool editing, const SipContact& fields,
                                         ContactDialog::Apply apply) {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return dialog_;
    }
    auto* dialog = new ContactDialog(Language(), editing, std::move(apply), owner_.data());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetFields(fields);
    dialog_ = dialog;
    dialog->open();
    return dialog;
}

ContactDialog* ContactEditor::OpenNew(const std::string& handle, const std::string& name) {
    SipContact fields;
    std::string error;
    if (const auto address = skype::sip::ParseContactAddress(handle, error);
        !handle.empty() && address) {
        fields.address = *address;
    }
    fields.fullName = name;
    return OpenDialog(false, fields, [this](const SipContact& contact) {
        Load();
        const ContactResult result = book_.Add(contact);
        if (result.ok()) {
            Trace("Contacts: added %s\n", contact.address.Handle().c_str());
            TellKeptAside(result);
            Reload();
            emit contactsChanged(QString::fromStdString(contact.address.Handle()));
        }
        return result;
    });
}

ContactDialog* ContactEditor::OpenEdit(const std::string& handle) {
    const SipContact* known = book_.Find(handle);
    if (known == nullptr) {
        Trace("Contacts: %s is not in the contact file\n", handle.c_str());
        return nullptr;
    }
    return OpenDialog(true, *known, [this, handle](const SipContact& contact) {
        Load();
        const ContactResult result = book_.Replace(handle, contact);
        if (result.ok()) {
            Trace("Contacts: changed %s\n", handle.c_str());
            TellKeptAside(result);
            Reload();
            emit contactsChanged(QString::fromStdString(handle));
        }
        return result;
    });
}

bool ContactEditor::Remove(const std::string& handle) {
    Load();
    const SipContact* known = book_.Find(handle);
    if (known == nullptr) {
        return false;
    }
    const std::string name = known->fullName.empty() ? handle : known->fullName;
    const auto answer =
        app_.messageBoxes().Show((Text(i18n::TXT_CONTACT_ASK_REMOVE, Language()) +
                                  QStringLiteral("\n") + QString::fromStdString(name))
                                     .toStdString(),
                                 Text(i18n::TXT_CONTACT_REMOVE, Language()).toStdString(),
                                 platform::MessageBoxButtons::YesNo);
    if (answer != platform::MessageBoxAnswer::Yes) {
        return false;
    }
    const ContactResult result = book_.Remove(handle);
    if (!result.ok()) {
        Tell(Text(i18n::TXT_CONTACT_NOT_SAVED, Language()) + QStringLiteral("\n") +
             QString::fromStdString(result.detail));
        return false;
    }
    Trace("Contacts: removed %s\n", handle.c_str());
    TellKeptAside(result);
    Reload();
    emit contactsChanged(QString::fromStdString(handle));
    return true;
}

void ContactEditor::ChooseImport() {
    const QString file = QFileDialog::getOpenFileName(
        owner_.data(), Text(i18n::TXT_CONTACT_IMPORT, Language()), QDir::homePath(),
        Text(i18n::TXT_CONTACT_VCARD_TYPE, Language()));
    if (!file.isEmpty()) {
        Import(file.toStdString());
    }
}

void ContactEditor::ChooseExport() {
    QString file =
        QFileDialog::getSaveFileName(owner_.data(), Text(i18n::TXT_CONTACT_EXPORT, Language()),
                                     QDir::home().filePath(QStringLiteral("contacts.vcf")),
                                     Text(i18n::TXT_CONTACT_VCARD_TYPE, Language()));
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".vcf"), Qt::CaseInsensitive) &&
        !file.endsWith(QStringLiteral(".vcard"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".vcf");
    }
    Export(file.toStdString());
}

skype::sip::ContactBook::ImportReport ContactEditor::Import(const std::filesystem::path& from) {
    Load();
    auto report = book_.Import(from);
    const int32_t language = Language();
    if (!report.result.ok()) {
        Trace("Contacts: import of %s failed: %s\n", from.c_str(), report.result.detail.c_str());
        const auto key = report.result.problem == ContactProblem::ImportFailed
                             ? i18n::TXT_CONTACT_NO_IMPORT
                             : i18n::TXT_CONTACT_NOT_SAVED;
        Tell(Text(key, language) + QStringLiteral("\n") +
             QString::fromStdString(report.result.detail));
        return report;
    }
    Trace("Contacts: imported %s: %zu added, %zu known, %zu left out\n", from.c_str(), report.added,
          report.known, report.skipped);
    const auto line = [language](i18n::TextKey key, size_t count) {
        return Text(key, language) + QStringLiteral(" ") + QString::number(count);
    };
    QString text = line(i18n::TXT_CONTACT_IMPORTED, report.added);
    if (report.known > 0) {
        text += QStringLiteral("\n") + line(i18n::TXT_CONTACT_KNOWN, report.known);
    }
    if (report.skipped > 0) {
        text += QStringLiteral("\n") + line(i18n::TXT_CONTACT_SKIPPED, report.skipped);
    }
    TellKeptAside(report.result);
    if (report.added > 0) {
        Reload();
        emit contactsChanged(QString());
    }
    Tell(text);
    return report;
}

bool ContactEditor::Export(const std::filesystem::path& to) {
    Load();
    const ContactResult result = book_.Export(to);
    if (!result.ok()) {
        Trace("Contacts: export failed: %s\n", result.detail.c_str());
        Tell(Text(i18n::TXT_CONTACT_NOT_SAVED, Language()) + QStringLiteral("\n") +
             QString::fromStdString(result.detail));
        return false;
    }
    Trace("Contacts: exported %zu contacts to %s\n", book_.contacts().size(), to.c_str());
    return true;
}

void ContactEditor::OnListRebuilt() {
    if (reloadPending_) {
        Reload();
    }
}

void ContactEditor::Reload() {
    // The backend only posts the work to its own thread: nothing here waits on the network.
    reloadPending_ = true;
    const auto skype = app_.skypeLink().SkypeObject();
    if (!skype) {
        return;
    }
    try {
        const auto command = skype->CreateCommand();
        command->SetCommand(kReloadCommand);
        skype->SendCommand(command);
        reloadPending_ = false;
    } catch (const skype::AutomationError& error) {
        // Not attached: the list is not shown either; the next rebuild sends it again.
        Trace("Contacts: the backend will read the file later: %s\n", error.what());
    }
}

void ContactEditor::Tell(const QString& text) {
    app_.messageBoxes().Show(text.toStdString(), "Velto", platform::MessageBoxButtons::Ok);
}

void ContactEditor::TellKeptAside(const ContactResult& result) {
    if (!result.keptAside.empty()) {
        Tell(Text(i18n::TXT_CONTACT_KEPT_ASIDE, Language()) + QStringLiteral("\n") +
             Path(result.keptAside));
    }
}

}  // namespace velto::ui
