#include "ui/DialogDriver.h"

#include <QEventLoop>
#include <QTimer>

#include <QApplication>
#include <map>

#include "app/Application.h"
#include "ui/FilePickUpDialog.h"
#include "ui/ForTestDialog.h"
#include "ui/GreetingRecordDialog.h"
#include "ui/MissedCallDialog.h"
#include "ui/OptionAccountPanel.h"
#include "ui/OptionDialog.h"
#include "ui/OptionGeneralPanel.h"
#include "ui/OptionRbtPanel.h"
#include "ui/OwnSoundPanel.h"
#include "ui/PartnerList.h"
#include "ui/SingleRingToneDialog.h"

namespace velto::ui {
namespace {

const std::map<std::string, int> kPages = {
    {"general", OptionDialog::kGeneral},   {"ringback", OptionDialog::kStandardRingBack},
    {"ringtone", OptionDialog::kRingTone}, {"voicemail", OptionDialog::kVoiceMail},
    {"about", OptionDialog::kAbout},       {"services", OptionDialog::kNewServices},
    {"rules", OptionDialog::kRules},       {"account", OptionDialog::kAccount},
};

template <typename T>
T* Top() {
    return qobject_cast<T*>(DialogDriver::TopDialog());
}

std::optional<int> Number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// The ring-back choice's row that `what` names: standard, own, a partner tone's title or key,
// or a row number; -1 for none.
int ChoiceRowNamed(const RingToneChoice& choice, const std::string& what) {
    const auto& rows = choice.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChoiceRow& row = rows[i];
        const bool matches =
            (what == "standard" && row.kind == ChoiceKind::Standard) ||
            (what == "own" && row.kind == ChoiceKind::Own) ||
            (row.kind == ChoiceKind::Partner &&
             (what == row.partnerKey ||
              QString::fromStdString(what) == QString::fromStdU16String(row.label))) ||
            Number(what) == static_cast<int>(i);
        if (matches) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

DialogDriver::DialogDriver(app::Application& app, std::function<PartnerList*()> list,
                           std::function<QWidget*()> owner,
                           std::function<bool(const std::function<bool()>&)> runUntil)
    : app_(app), list_(std::move(list)), owner_(std::move(owner)), runUntil_(std::move(runUntil)) {}

bool DialogDriver::Knows(const std::string& verb) {
    static const char* const verbs[] = {
        "open",   "select",          "page", "tick",   "change", "pick",  "play",
        "delete", "choose-language", "ok",   "cancel", "field",  "apply", "record"};
    for (const char* known : verbs) {
        if (verb == known) {
            return true;
        }
    }
    return false;
}

QWidget* DialogDriver::TopDialog() {
    QWidget* top = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible()) {
            continue;
        }
        if (qobject_cast<FilePickUpDialog*>(widget) ||
            qobject_cast<GreetingRecordDialog*>(widget)) {
            return widget;
        }
        if (qobject_cast<SingleRingToneDialog*>(widget) || qobject_cast<OptionDialog*>(widget) ||
            qobject_cast<MissedCallDialog*>(widget)) {
            top = widget;
        }
    }
    return top;
}

QWidget* DialogDriver::OpenOptions(app::Application& app, QWidget* owner, int page) {
    // The SIP backend's account comes with the main window.
    auto* main = qobject_cast<ForTestDialog*>(owner);
    auto* dialog =
        new OptionDialog(app, page, owner, main != nullptr ? main->sipAccount() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

QWidget* DialogDriver::OpenMissedCalls(app::Application& app, QWidget* owner, PartnerList* list) {
    auto* dialog =
        new MissedCallDialog(app, owner, list != nullptr ? list->contactEditor() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (list != nullptr) {
        dialog->FollowStatuses(list);
    }
    dialog->open();
    return dialog;
}

bool DialogDriver::Run(const std::string& verb, const std::vector<std::string>& args,
                       std::string& why) {
    const std::string first = args.empty() ? std::string() : args[0];
    if (verb == "open") {
        return Open(args, why);
    }
    if (verb == "field" || verb == "apply") {
        return Account(verb, args, why);
    }
    using Step = bool (DialogDriver::*)(const std::string&, std::string&);
    static const std::map<std::string, Step> kSteps = {
        {"select", &DialogDriver::Select}, {"page", &DialogDriver::ShowPage},
        {"tick", &DialogDriver::Tick},     {"change", &DialogDriver::Change},
        {"pick", &DialogDriver::Pick},     {"play", &DialogDriver::Play},
        {"delete", &DialogDriver::Delete}, {"choose-language", &DialogDriver::ChooseLanguage},
        {"ok", &DialogDriver::Close},      {"cancel", &DialogDriver::Close},
        {"record", &DialogDriver::Record},
    };
    const auto step = kSteps.find(verb);
    if (step == kSteps.end()) {
        why = "unknown verb " + verb;
        return false;
    }
    // "ok" and "cancel" take no argument: they pass their own name.
    return (this->*step->second)(verb == "ok" || verb == "cancel" ? verb : first, why);
}

bool DialogDriver::Select(const std::string& handle, std::string& why) {
    PartnerList* list = list_();
    const int row = list ? list->contacts().state().RowOf(handle) : -1;
    if (row < 0) {
        why = "no contact row for " + handle;
        return false;
    }
    if (list->contacts().state().SelectedRow() != row) {
        list->SelectRow(row);
    }
    return true;
}

bool DialogDriver::ShowPage(const std::string& name, std::string& why) {
    auto* options = Top<OptionDialog>();
    const auto page = kPages.find(name);
    if (!options || page == kPages.end() || !options->pageButton(page->second) ||
        !options->pageButton(page->second)->isEnabled()) {
        why = "no options page " + name + " to show";
        return false;
    }
    options->pageButton(page->second)->click();
    return true;
}

bool DialogDriver::Change(const std::string&, std::string& why) {
    if (auto* ringBack = Top<SingleRingToneDialog>()) {
        ringBack->ChangeOwnTone();
        return true;
    }
    if (auto* options = Top<OptionDialog>()) {
        if (auto* page = qobject_cast<TonePage*>(options->page(options->activePage()))) {
            return page->Browse() != nullptr;
        }
    }
    why = "nothing to change here";
    return false;
}

bool DialogDriver::Record(const std::string&, std::string& why) {
    if (auto* options = Top<OptionDialog>()) {
        if (auto* page = qobject_cast<OwnSoundPanel*>(options->page(options->activePage()))) {
            if (page->Record() != nullptr) {
                return true;
            }
        }
    }
    why = "no voice mail page to record on";
    return false;
}

bool DialogDriver::Delete(const std::string& number, std::string& why) {
    auto* missed = Top<MissedCallDialog>();
    const auto row = Number(number);
    if (!missed || !row || *row >= missed->RowCount()) {
        why = "no missed call row " + number;
        return false;
    }
    missed->PressDelete(*row);
    return true;
}

bool DialogDriver::ChooseLanguage(const std::string& number, std::string& why) {
    auto* options = Top<OptionDialog>();
    auto* general = options
                        ? qobject_cast<OptionGeneralPanel*>(options->page(OptionDialog::kGeneral))
                        : nullptr;
    const auto language = Number(number);
    if (!general || !language || *language >= general->languages()->count()) {
        why = "no language " + number + " to choose";
        return false;
    }
    general->languages()->setCurrentIndex(*language);
    emit general->languages()->activated(*language);
    return true;
}

bool DialogDriver::Close(const std::string& verb, std::string& why) {
    auto* dialog = qobject_cast<QDialog*>(TopDialog());
    if (!dialog) {
        why = "no dialog open";
        return false;
    }
    if (verb == "ok") {
        dialog->accept();
    } else {
        dialog->reject();
    }
    return true;
}

bool DialogDriver::Open(const std::vector<std::string>& args, std::string& why) {
    const std::string what = args.empty() ? std::string() : args[0];
    if (what == "ringback" && args.size() == 2) {
        PartnerList* list = list_();
        const int row = list ? list->contacts().state().RowOf(args[1]) : -1;
        if (row < 0 || !list->OpenRingBackDialog(row)) {
            why = "no contact " + args[1] + " to open";
            return false;
        }
        return true;
    }
    if (what == "missed-calls") {
        if (!app_.state().SkypeAttached) {
            why = "the missed calls open only while Skype is attached";
            return false;
        }
        app_.missedCalls().ClearNewMissedCall();
        OpenMissedCalls(app_, owner_(), list_());
        return true;
    }
    if (what == "options") {
        int page = 0;
        if (args.size() == 2) {
            const auto found = kPages.find(args[1]);
            if (found == kPages.end()) {
                why = "no options page " + args[1];
                return false;
            }
            page = found->second;
        }
        OpenOptions(app_, owner_(), page);
        return true;
    }
    why = "cannot open " + what;
    return false;
}

bool DialogDriver::Account(const std::string& verb, const std::vector<std::string>& args,
                           std::string& why) {
    auto* options = Top<OptionDialog>();
    auto* page = options != nullptr
                     ? qobject_cast<OptionAccountPanel*>(options->page(OptionDialog::kAccount))
                     : nullptr;
    if (page == nullptr) {
        why = "no Account page open";
        return false;
    }
    if (verb == "apply") {
        page->applyButton()->click();
        if (!runUntil_([page] { return !page->saving(); })) {
            why = "the account was not saved in time";
            return false;
        }
        return true;
    }
    if (args.size() != 2) {
        why = "field needs a name and a value";
        return false;
    }
    const QString value = QString::fromStdString(args[1]);
    if (QLineEdit* line = args[0] == "password"        ? page->password()
                          : args[0] == "turn-password" ? page->turnPassword()
                          : args[0] == "proxy"         ? page->server()
                                                       : page->line(args[0])) {
        line->setText(value);
        return true;
    }
    QComboBox* choice = args[0] == "transport"          ? page->transport()
                        : args[0] == "media-encryption" ? page->encryption()
                                                        : nullptr;
    if (choice != nullptr && choice->findData(value) >= 0) {
        choice->setCurrentIndex(choice->findData(value));
        return true;
    }
    if (QCheckBox* box = page->box(args[0]); box != nullptr && (value == "on" || value == "off")) {
        box->setChecked(value == "on");
        return true;
    }
    why = "no Account field " + args[0] + " that takes " + args[1];
    return false;
}

bool DialogDriver::Tick(const std::string& what, std::string& why) {
    if (auto* ringBack = Top<SingleRingToneDialog>()) {
        const int row = ChoiceRowNamed(ringBack->choice(), what);
        if (row < 0) {
            why = "no row " + what + " in the ring-back choice";
            return false;
        }
        ringBack->TickRow(row);
        return true;
    }
    auto* options = Top<OptionDialog>();
    OptionPage* page = options ? options->page(options->activePage()) : nullptr;
    if (auto* general = qobject_cast<OptionGeneralPanel*>(page)) {
        QCheckBox* box = what == "autostart"    ? general->autoStart()
                         : what == "friendmsg"  ? general->friendMsg()
                         : what == "autoupdate" ? general->autoUpdate()
                                                : nullptr;
        if (box) {
            box->click();
            return true;
        }
    } else if (auto* rbt = qobject_cast<OptionRbtPanel*>(page)) {
        const int id = what == "default"   ? OptionRbtPanel::kDefaultRadio
                       : what == "own"     ? OptionRbtPanel::kOwnRadio
                       : what == "partner" ? OptionRbtPanel::kPartnerRadio
                                           : 0;
        if (id != 0 && rbt->radio(id)->isEnabled()) {
            rbt->radio(id)->click();
            return true;
        }
    } else if (auto* account = qobject_cast<OptionAccountPanel*>(page)) {
        QAbstractButton* button = what == "advanced"
                                      ? static_cast<QAbstractButton*>(account->advancedButton())
                                      : account->box(what);
        if (button != nullptr) {
            button->click();
            return true;
        }
    } else if (auto* sound = qobject_cast<OwnSoundPanel*>(page)) {
        if (what == "voicemail" && sound->voiceMail()) {
            sound->voiceMail()->click();
            return true;
        }
        const int id = what == "default" ? OwnSoundPanel::kDefaultRadio
                       : what == "own"   ? OwnSoundPanel::kOwnRadio
                                         : 0;
        if (id != 0 && sound->radio(id)->isEnabled()) {
            sound->radio(id)->click();
            return true;
        }
    }
    why = "nothing to tick as " + what;
    return false;
}

bool DialogDriver::Play(const std::string& what, std::string& why) {
    if (auto* ringBack = Top<SingleRingToneDialog>()) {
        const int row = ChoiceRowNamed(ringBack->choice(), what);
        if (row >= 0 && ringBack->playButton(row) && ringBack->playButton(row)->isEnabled()) {
            ringBack->PressPlay(row);
            return true;
        }
    } else if (auto* missed = Top<MissedCallDialog>()) {
        const auto row = Number(what);
        if (row && *row < missed->RowCount()) {
            missed->PressPlay(*row);
            return true;
        }
    } else if (auto* options = Top<OptionDialog>()) {
        OptionPage* page = options->page(options->activePage());
        if (auto* rbt = qobject_cast<OptionRbtPanel*>(page)) {
            const int id = what == "default" ? OptionRbtPanel::kPlayDefault
                           : what == "own"   ? OptionRbtPanel::kPlayOwn
                                             : OptionRbtPanel::kPlayPartner;
            rbt->PressPlay(id);
            return true;
        }
        if (auto* sound = qobject_cast<OwnSoundPanel*>(page)) {
            sound->PressPlay(what == "default" ? OwnSoundPanel::kPlayDefault
                                               : OwnSoundPanel::kPlayOwn);
            return true;
        }
    }
    why = "nothing to play as " + what;
    return false;
}

bool DialogDriver::PumpUntil(const std::function<bool()>& done) {
    for (int slice = 0; slice < 3000 && !done(); ++slice) {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return done();
}

bool DialogDriver::Pick(const std::string& file, std::string& why) {
    auto* picker = Top<FilePickUpDialog>();
    if (!picker) {
        why = "no file picker open";
        return false;
    }
    picker->SetPath(QString::fromStdString(file));
    picker->accept();
    QPointer<FilePickUpDialog> watched(picker);
    if (!runUntil_([&] { return watched.isNull() || !watched->busy(); })) {
        why = "the conversion of " + file + " did not report back";
        return false;
    }
    if (!watched.isNull() && watched->isVisible()) {
        why = file + " was not made into a tone";
        return false;
    }
    return true;
}

}  // namespace velto::ui
