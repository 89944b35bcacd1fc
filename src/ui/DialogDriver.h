#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace velto::app {
class Application;
}

namespace velto::ui {

class PartnerList;

// Drives the contact list and the dialogs by name, as a user would click them, for
// scenarios and tests:
//   open ringback HANDLE | open missed-calls | open options [PAGE]
//   select HANDLE                 click the contact's row
//   page PAGE                     general, ringback, ringtone, voicemail, about, rules,
//                                 account (the SIP backend's)
//   tick WHAT                     ring-back dialog: standard, own, a partner tone's title or
//                                 key, or a row number; options: default, own, partner,
//                                 autostart, friendmsg, autoupdate, voicemail
//   change                        the own tone's "Change" (ring-back dialog) or "Browse"
//   pick FILE                     the file picker converts FILE and waits for the result
//   play WHAT                     missed calls: a row number; ring-back dialog: a row as for
//                                 tick; options: default, own, partner
//   delete N                      missed calls: row N (the confirmation is answered Yes)
//   choose-language N             options: the General page's language list
//   field NAME VALUE              options' Account page: a field by its velto-account name,
//                                 or password, proxy (the server), transport (udp|tcp|tls)
//   apply                         options' Account page: Apply, and wait for the save
//   tick advanced                 options' Account page: the advanced part or back
//   record                        options' voice mail page: "Record…" (the greeting's window)
//   ok | cancel                   the dialog on top
class DialogDriver {
  public:
    // `runUntil` runs the program's loop and Qt's events until the predicate holds (false
    // on time-out).
    DialogDriver(app::Application& app, std::function<PartnerList*()> list,
                 std::function<QWidget*()> owner,
                 std::function<bool(const std::function<bool()>&)> runUntil);

    static bool Knows(const std::string& verb);
    // Runs Qt's events, waiting for them in 20 ms slices, until `done` holds or a minute
    // has passed (false then): work such as a conversion finishes on another thread.
    static bool PumpUntil(const std::function<bool()>& done);
    // False with `why` when the verb could not be carried out.
    bool Run(const std::string& verb, const std::vector<std::string>& args, std::string& why);

    // The dialog on top (the file picker before its parent), or null.
    static QWidget* TopDialog();
    // Opens the options dialog (`page` 0: the default page) or the missed-call dialog,
    // window-modal over `owner`; both delete themselves when closed. The missed calls
    // follow the statuses `list` receives.
    static QWidget* OpenOptions(app::Application& app, QWidget* owner, int page);
    static QWidget* OpenMissedCalls(app::Application& app, QWidget* owner, PartnerList* list);

  private:
    bool Open(const std::vector<std::string>& args, std::string& why);
    // One verb each, with its argument (ok and cancel: the verb itself).
    bool Select(const std::string& handle, std::string& why);
    bool ShowPage(const std::string& name, std::string& why);
    bool Change(const std::string& unused, std::string& why);
    bool Delete(const std::string& number, std::string& why);
    bool Record(const std::string& unused, std::string& why);
    bool ChooseLanguage(const std::string& number, std::string& why);
    bool Close(const std::string& verb, std::string& why);
    bool Tick(const std::string& what, std::string& why);
    bool Account(const std::string& verb, const std::vector<std::string>& args, std::string& why);
    bool Play(const std::string& what, std::string& why);
    bool Pick(const std::string& file, std::string& why);

    app::Application& app_;
    std::function<PartnerList*()> list_;
    std::function<QWidget*()> owner_;
    std::function<bool(const std::function<bool()>&)> runUntil_;
};

}  // namespace velto::ui
