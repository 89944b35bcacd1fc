// The velto program: the desktop front end (with --headless: none) over the application's
// composition; --demo plays a scenario on the simulated Skype client with the windows.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Demo.h"
#include "Display.h"
#include "VeltoCommandLine.h"
#include "app/Application.h"
#include "cli/GuardedMain.h"
#include "core/ProcessExit.h"
#include "platform/Clock.h"
#include "platform/KnownFolders.h"
#include "platform/QuitSignals.h"
#include "platform/Trace.h"
#include "sipaccount/AccountLink.h"
#include "sipaccount/BackendChoice.h"
#include "sipaccount/ContactFile.h"
#include "sipaccount/HivePasswordStore.h"
#include "sipaccount/KeyringPasswordStore.h"
#include "sipaccount/SipModuleLoader.h"
#include "ui/QtFrontEnd.h"

namespace {

using namespace velto;

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

// The SIP backend when chosen (--backend, else an identity in the user hive), else none:
// without a call backend Skype counts as absent. The SIP stack is a module, loaded only
// here and only once the window is up.
// With windows (`link` given) and no backend named, SIP is used without an account as well:
// the window sets the account up and the backend takes it without a restart.
std::unique_ptr<skype::SkypeFactory> CallBackendFor(platform::Clock& clock,
                                                    const platform::KnownFolders& folders,
                                                    const std::optional<std::string>& backend,
                                                    std::shared_ptr<skype::sip::AccountLink> link) {
    const auto config = folders.RoamingAppData().value_or(folders.Temp());
    auto hive = std::make_shared<platform::Registry>(platform::Registry::Files{
        .currentUser = config / "Velto" / "user.reg", .localMachine = {}, .autostartFolder = {}});
    const bool setUpLater = link && !backend && !skype::sip::SipIdentityConfigured(*hive);
    if (skype::sip::ChooseBackend(backend, *hive) != skype::sip::CallBackend::Sip && !setUpLater) {
        platform::Trace("velto: no call backend\n");
        return nullptr;
    }
    auto module = skype::sip::SipModuleFile(ExecutableFolder());
    std::error_code error;
    if (!std::filesystem::is_regular_file(module, error)) {
        platform::Trace("velto: no SIP module at %s: no call backend\n", module.c_str());
        return nullptr;
    }
    platform::Trace(setUpLater ? "velto: calls through SIP once the account is set up\n"
                               : "velto: calls through SIP\n");
    // Run by the module's loader on its worker: the keyring may take seconds to answer.
    auto prepare = [&clock, hive, config, folders, link] {
        // Also before a failed registration is tried again: the user may have fixed the
        // account meanwhile.
        auto read = [&clock, files = hive->files()] {
            platform::Registry current(files);  // as the file is now
            const auto keyring = skype::sip::SystemKeyring(clock);
            skype::sip::HivePasswordStore userFile(current);
            skype::sip::AccountPassword password(*keyring, userFile);
            auto result = skype::sip::ReadSipSettings(current, password);
            const auto turnKeyring = skype::sip::SystemKeyring(clock, skype::sip::kTurnPassword);
            skype::sip::HivePasswordStore turnUserFile(current, skype::sip::kTurnPassword);
            skype::sip::AccountPassword turnPassword(*turnKeyring, turnUserFile);
            skype::sip::ReadTurnPassword(result, turnPassword);
            return result;
        };
        auto settings = read();
        if (settings.settings) {
            const auto& s = *settings.settings;
            if (!s.passwordPlace.empty()) {
                platform::Trace("velto: the SIP password is in the %s\n", s.passwordPlace.c_str());
            } else if (!s.passwordProblem.empty()) {
                platform::Trace("velto: no SIP password: %s\n", s.passwordProblem.c_str());
            }
            if (!s.turn.empty() && s.turnPassword.empty()) {
                platform::Trace("velto: no TURN password%s%s\n",
                                s.turnPasswordProblem.empty() ? "" : ": ",
                                s.turnPasswordProblem.c_str());
            }
        }
        return skype::sip::SipModuleOptions{
            .clock = clock,
            .settings = std::move(settings),
            .contactsFile = skype::sip::ContactFilePath(config),
            .dataDir = folders.LocalAppData().value_or(folders.Temp()) / "Velto" / "sip",
            .rereadSettings = read,
            .accountLink = link,
        };
    };
    return std::make_unique<skype::sip::SipModuleFactory>(std::move(module), std::move(prepare));
}

// What the windows get of the SIP backend: the contact file to edit and the account's link.
struct SipAccess {
    std::optional<std::filesystem::path> contactsFile;
    std::shared_ptr<skype::sip::AccountLink> account;
};

// Makes the front end once the backend is chosen. Null: the headless front end.
using FrontEndMaker = std::function<std::unique_ptr<app::FrontEnd>(const SipAccess&)>;

int Run(const std::vector<std::string>& arguments, const std::optional<std::string>& backend,
        const FrontEndMaker& makeFrontEnd) {
    platform::RealClock clock;
    // Before any other thread starts: SIGINT and SIGTERM become the tray's Quit.
    app::Application* running = nullptr;
    std::mutex runningMutex;
    platform::QuitSignals quitSignals([&](int signal) {
        platform::Trace("velto: signal %d: quitting\n", signal);
        std::lock_guard guard(runningMutex);
        if (running != nullptr) {
            running->Quit(0);
        }
    });

    // After the signals are routed (its thread must not take them); outlives the
    // application, which lets its Skype objects go when it ends.
    const auto folders = platform::KnownFolders::FromProcess();
    // The windows set the account up and show its registration; the headless program
    // uses the account as it is.
    auto link = makeFrontEnd ? std::make_shared<skype::sip::AccountLink>() : nullptr;
    const auto callBackend = CallBackendFor(clock, folders, backend, link);
    SipAccess sip;
    if (callBackend) {
        sip.contactsFile =
            skype::sip::ContactFilePath(folders.RoamingAppData().value_or(folders.Temp()));
        sip.account = link;
    }
    app::Application application({
        .clock = clock,
        .folders = folders,
        .machineHive = ExecutableFolder() / ".." / "share" / "velto" / "machine.reg",
        .skypeFactory = callBackend.get(),
        .soundDevice = true,
        .frontEnd = makeFrontEnd ? makeFrontEnd(sip) : nullptr,
    });
    struct Registered {
        std::mutex& mutex;
        app::Application*& running;
        ~Registered() {
            std::lock_guard guard(mutex);
            running = nullptr;
        }
    } registered{runningMutex, running};
    {
        std::lock_guard guard(runningMutex);
        running = &application;
    }

    if (!application.Start(arguments)) {
        return 0;
    }
    platform::Trace("velto: running\n");
    const int code = application.Run();
    platform::Trace("velto: message loop ended\n");
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    // Trace lines are diagnostics; each one is to be seen at once, even through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return velto::cli::GuardedMain("velto", [&] {
        int exitCode = 0;
        std::vector<std::string> words(argv + 1, argv + argc);
        const std::string demoScenario = velto::program::TakeDemoScenario(words);
        const auto arguments =
            velto::cli::Parse(velto::program::VeltoTool(), words, std::cout, std::cerr, exitCode);
        if (!arguments) {
            return exitCode;
        }
        const bool headless = arguments->Has("--headless");
        const bool demo = arguments->Has("--demo");
        if (headless && demo) {
            return velto::cli::UsageError(velto::program::VeltoTool(),
                                          "--demo shows windows; it cannot run --headless",
                                          std::cerr);
        }
        if (!headless) {
            if (const auto why = program::WhyNoDisplay(program::ProcessEnvironment())) {
                std::cerr << "velto: " << *why << " (--headless runs without windows)\n";
                return velto::cli::kExitFailure;
            }
        }
        try {
            const auto backend = arguments->Value("--backend");
            if (headless) {
                return Run(arguments->switches(), backend, nullptr);
            }
            // Qt's X connection starts a thread of its own: it must not take the quit
            // signals, which the program turns into the tray's Quit.
            if (!demo) {
                velto::platform::QuitSignals::BlockInThisThread();
            }
            QApplication qt(argc, argv);
            QApplication::setQuitOnLastWindowClosed(false);
            QApplication::setApplicationName(QStringLiteral("Velto"));
            if (demo) {
                return program::RunDemo(demoScenario, ExecutableFolder());
            }
            return Run(arguments->switches(), backend, [](const SipAccess& sip) {
                ui::QtFrontEnd::Options options;
                options.contactsFile = sip.contactsFile;
                options.sipAccount = sip.account;
                options.notificationBus = ui::ConnectSessionBus;
                return std::make_unique<ui::QtFrontEnd>(std::move(options));
            });
        } catch (const velto::core::ProcessExit& exit) {
            return exit.code();
        }
    });
}
