// velto-account: sets up the SIP account and the contacts that `velto` uses for real calls.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "AccountStatus.h"
#include "cli/Arguments.h"
#include "cli/GuardedMain.h"
#include "platform/Clock.h"
#include "platform/KnownFolders.h"
#include "platform/Registry.h"
#include "sipaccount/AccountForm.h"
#include "sipaccount/AccountPassword.h"
#include "sipaccount/ContactBook.h"
#include "sipaccount/ContactFile.h"
#include "sipaccount/HivePasswordStore.h"
#include "sipaccount/KeyringPasswordStore.h"
#include "sipaccount/SipSettingList.h"
#include "sipaccount/SipSettings.h"

namespace {

using namespace velto;
using namespace velto::skype::sip;
using platform::RegError;
using platform::RegRoot;

std::string SettingsHelp() {
    std::string text;
    for (const SipSettingInfo& setting : SipSettingList()) {
        std::string head = std::string("  set ") + setting.name + " " + setting.argument;
        const std::string help = setting.help;
        if (head.size() > 29) {
            text += head + "\n";
            head.clear();
        }
        head.resize(31, ' ');
        size_t start = 0;
        for (;;) {
            const size_t end = help.find('\n', start);
            text += head + help.substr(start, end - start) + "\n";
            if (end == std::string::npos) {
                break;
            }
            head.assign(31, ' ');
            start = end + 1;
        }
    }
    return text;
}

const cli::Tool& AccountTool() {
    static const std::string about =
        "Sets up the SIP account and the contacts of velto's real calls. Commands:\n"
        "  show                         the account, its problems, and the contacts\n"
        "  status                       what the running velto says of its registration;\n"
        "                               when none runs, registers once (on a port of\n"
        "                               its own); in one line: where, which transport,\n"
        "                               the expiry; or why not and the next try\n" +
        SettingsHelp() +
        "  password                     reads the password from standard input (one\n"
        "                               line; an empty line removes it) into the\n"
        "                               system keyring, or into the user hive when no\n"
        "                               keyring can be reached\n"
        "  turn-password                the TURN server's password, the same way\n"
        "  add-contact SIP-ADDRESS ['FULL NAME'] [NICKNAME]\n"
        "  remove-contact SIP-ADDRESS|HANDLE\n"
        "A text setting set to '' is removed (its default applies). A value that is\n"
        "refused is not saved.\n"
        "The account lives in the user hive ($XDG_CONFIG_HOME/Velto/user.reg, readable\n"
        "by you only) under HKEY_CURRENT_USER\\Software\\Velto\\Sip; the contacts in\n"
        "$XDG_CONFIG_HOME/Velto/contacts.vcf (vCard: FN, NICKNAME, IMPP:sip:...), which\n"
        "address books export. velto uses SIP when an identity is set.";
    static const cli::Tool tool{
        .name = "velto-account",
        .synopsis = "COMMAND [ARGUMENT...]",
        .about = about.c_str(),
        .exitCodes = {{cli::kExitOk, "done"},
                      {cli::kExitFailure,
                       "a value was refused, a file could not be saved, or (status) the "
                       "account did not register"}},
        .minOperands = 1,
        .maxOperands = 4,
    };
    return tool;
}

int Usage(const std::string& problem) {
    return cli::UsageError(AccountTool(), problem, std::cerr);
}

struct Paths {
    std::filesystem::path config;
    std::filesystem::path hive;
    std::filesystem::path contacts;
};

Paths FindPaths() {
    const auto folders = platform::KnownFolders::FromProcess();
    Paths paths;
    paths.config = folders.RoamingAppData().value_or(folders.Temp());
    paths.hive = paths.config / "Velto" / "user.reg";
    paths.contacts = ContactFilePath(paths.config);
    return paths;
}

// The password's place, or why there is none, never the password itself.
std::string PasswordState(AccountPassword& password) {
    const AccountPassword::Found found = password.Read();
    if (!found.password.empty()) {
        return "set (" + found.place + ")";
    }
    return found.problem.empty() ? "not set" : "not set (" + found.problem + ")";
}

int Show(const platform::Registry& registry, AccountPassword& password,
         AccountPassword& turnPassword, const Paths& paths) {
    for (const SipSettingInfo& setting : SipSettingList()) {
        std::string label = std::string(setting.value) + ":";
        label.resize(26, ' ');
        std::printf("%s%s\n", label.c_str(), ShowSipSetting(registry, setting).c_str());
    }
    std::printf("%-26s%s\n", "Password:", PasswordState(password).c_str());
    std::printf("%-26s%s\n", "TurnPassword:", PasswordState(turnPassword).c_str());
    const auto settings = ReadSipSettings(registry);
    if (!settings.settings) {
        std::printf("%-26s%s\n", "Problem:", settings.error.c_str());
    }
    const ContactFileText contacts = ReadContactFile(paths.contacts);
    std::printf("Contacts (%s):\n", paths.contacts.c_str());
    if (!contacts.error.empty()) {
        std::printf("  cannot be read: %s\n", contacts.error.c_str());
        return 1;
    }
    for (const SipContact& contact : contacts.contacts) {
        std::printf("  %s  \"%s\"%s%s%s\n", contact.address.Uri().c_str(), contact.fullName.c_str(),
                    contact.nickname.empty() ? "" : " (", contact.nickname.c_str(),
                    contact.nickname.empty() ? "" : ")");
    }
    for (const std::string& skipped : contacts.skipped) {
        std::printf("  skipped: %s\n", skipped.c_str());
    }
    return settings.settings ? 0 : 1;
}

int Set(platform::Registry& registry, const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return Usage("set needs a setting and one value");
    }
    const SipSettingInfo* setting = FindSipSetting(args[1]);
    if (setting == nullptr) {
        return Usage("unknown setting \"" + args[1] + "\"");
    }
    const std::string& value = args[2];
    if (const auto problem = CheckSipSetting(*setting, value)) {
        std::fprintf(stderr, "velto-account: %s \"%s\": %s\n", setting->value, value.c_str(),
                     problem->c_str());
        return 1;
    }
    RegError saved = registry.CreateKey(RegRoot::CurrentUser, kSipKey);
    if (saved == RegError::Ok) {
        if (const auto stored = StoredSipValue(*setting, value)) {
            saved = registry.Set(RegRoot::CurrentUser, kSipKey, setting->value, *stored);
        } else {
            saved = registry.DeleteValue(RegRoot::CurrentUser, kSipKey, setting->value);
            saved = saved == RegError::NotFound ? RegError::Ok : saved;
        }
    }
    if (saved != RegError::Ok) {
        std::fprintf(stderr, "velto-account: %s could not be saved in %s\n", setting->value,
                     registry.files().currentUser.c_str());
        return 1;
    }
    return 0;
}

int Password(AccountPassword& password, const PasswordItem& item) {
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const AccountPassword::Saved saved = password.Save(line);
    for (const std::string& problem : saved.problems) {
        std::fprintf(stderr, "velto-account: %s\n", problem.c_str());
    }
    if (!saved.ok) {
        std::fprintf(stderr, "velto-account: the %s was not saved\n", item.what);
        return 1;
    }
    if (saved.place.empty()) {
        std::printf("The %s is removed.\n", item.what);
    } else {
        std::printf("The %s is in the %s.\n", item.what, saved.place.c_str());
    }
    return 0;
}

int Contacts(const std::vector<std::string>& args, const Paths& paths) {
    const bool add = args[0] == "add-contact";
    if (args.size() < 2 || args.size() > (add ? 4u : 2u)) {
        return Usage(add ? "add-contact needs SIP-ADDRESS [\"FULL NAME\"] [NICKNAME]"
                         : "remove-contact needs one SIP-ADDRESS or handle");
    }
    // A file that cannot be read is left as it is, never replaced by a shorter one.
    ContactFileText file = ReadContactFile(paths.contacts);
    if (!file.error.empty()) {
        std::fprintf(stderr, "velto-account: %s\n", file.error.c_str());
        return 1;
    }
    if (!file.skipped.empty()) {
        std::fprintf(stderr,
                     "velto-account: %s holds cards without a SIP address; rewriting it would "
                     "drop them, so it is left alone\n",
                     paths.contacts.c_str());
        return 1;
    }
    std::string error;
    const auto address = ParseContactAddress(args[1], error);
    if (!address) {
        std::fprintf(stderr, "velto-account: \"%s\": %s\n", args[1].c_str(), error.c_str());
        return 1;
    }
    const std::string handle = address->Handle();
    const size_t before = file.contacts.size();
    std::erase_if(file.contacts,
                  [&](const SipContact& contact) { return contact.address.Handle() == handle; });
    if (add) {
        SipContact contact;
        contact.address = *address;
        // An empty full name ('') is no name: the address's display name stands in.
        contact.fullName = args.size() > 2 && !args[2].empty() ? args[2] : address->displayName;
        contact.nickname = args.size() > 3 ? args[3] : std::string();
        file.contacts.push_back(contact);
        if (file.contacts.size() > kMaxContacts) {
            std::fprintf(stderr, "velto-account: more than %zu contacts\n", kMaxContacts);
            return 1;
        }
    } else if (file.contacts.size() == before) {
        std::fprintf(stderr, "velto-account: no contact %s\n", handle.c_str());
        return 1;
    }
    if (!WriteContactFile(paths.contacts, file.contacts, error)) {
        std::fprintf(stderr, "velto-account: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Account(const std::vector<std::string>& args) {
    const Paths paths = FindPaths();
    platform::Registry registry({.currentUser = paths.hive,
                                 .localMachine = paths.config / "Velto" / "no-machine-hive.reg",
                                 .autostartFolder = std::nullopt});
    platform::RealClock clock;
    const auto keyring = SystemKeyring(clock);
    HivePasswordStore userFile(registry);
    AccountPassword password(*keyring, userFile);
    const auto turnKeyring = SystemKeyring(clock, kTurnPassword);
    HivePasswordStore turnUserFile(registry, kTurnPassword);
    AccountPassword turnPassword(*turnKeyring, turnUserFile);
    if (args[0] == "show" && args.size() == 1) {
        return Show(registry, password, turnPassword, paths);
    }
    if (args[0] == "status" && args.size() == 1) {
        const auto folders = platform::KnownFolders::FromProcess();
        SipSettingsResult settings = ReadSipSettings(registry, password);
        ReadTurnPassword(settings, turnPassword);
        return account::AccountStatus(
            std::move(settings), folders.LocalAppData().value_or(folders.Temp()) / "Velto" / "sip",
            folders.Temp());
    }
    if (args[0] == "set") {
        return Set(registry, args);
    }
    if (args[0] == "password" && args.size() == 1) {
        return Password(password, kAccountPassword);
    }
    if (args[0] == "turn-password" && args.size() == 1) {
        return Password(turnPassword, kTurnPassword);
    }
    if (args[0] == "add-contact" || args[0] == "remove-contact") {
        return Contacts(args, paths);
    }
    return Usage("unknown command \"" + args[0] + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    return cli::GuardedMain("velto-account", [&] {
        int exitCode = 0;
        const auto arguments =
            cli::Parse(AccountTool(), std::vector<std::string>(argv + 1, argv + argc), std::cout,
                       std::cerr, exitCode);
        return arguments ? Account(arguments->operands()) : exitCode;
    });
}
