// The velto program: the desktop front end (or, with --headless, none) over the
// application's composition; --demo plays a scenario on the simulated Skype client.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Demo.h"
#include "Display.h"
#include "Options.h"
#include "app/Application.h"
#include "core/ProcessExit.h"
#include "platform/Clock.h"
#include "platform/KnownFolders.h"
#include "platform/QuitSignals.h"
#include "platform/Trace.h"
#include "ui/QtFrontEnd.h"

namespace {

using namespace velto;

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

int Run(const program::Options& options, std::unique_ptr<app::FrontEnd> frontEnd) {
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

    // No Skype automation component exists on this system yet: Skype counts as absent.
    app::Application application({
        .clock = clock,
        .folders = platform::KnownFolders::FromProcess(),
        .machineHive = ExecutableFolder() / ".." / "share" / "velto" / "machine.reg",
        .soundDevice = true,
        .frontEnd = std::move(frontEnd),
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

    if (!application.Start(options.rest)) {
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
    std::string error;
    const auto options =
        program::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "velto: %s\n", error.c_str());
        return 2;
    }
    if (!options->headless) {
        if (const auto why = program::WhyNoDisplay(program::ProcessEnvironment())) {
            std::fprintf(stderr, "velto: %s (--headless runs without windows)\n", why->c_str());
            return 1;
        }
    }
    try {
        if (options->headless) {
            return Run(*options, nullptr);
        }
        QApplication qt(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setApplicationName(QStringLiteral("Velto"));
        if (options->demo) {
            return program::RunDemo(options->demoScenario, ExecutableFolder());
        }
        return Run(*options, std::make_unique<ui::QtFrontEnd>(ui::QtFrontEnd::Options{}));
    } catch (const velto::core::ProcessExit& exit) {
        return exit.code();
    }
}
