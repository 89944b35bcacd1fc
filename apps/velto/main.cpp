// The velto program: the headless front end over the application's composition.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "VeltoCommandLine.h"
#include "app/Application.h"
#include "cli/GuardedMain.h"
#include "core/ProcessExit.h"
#include "platform/Clock.h"
#include "platform/KnownFolders.h"
#include "platform/QuitSignals.h"
#include "platform/Trace.h"

namespace {

using namespace velto;

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

int Run(const std::vector<std::string>& arguments) {
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
        const auto arguments = velto::cli::Parse(velto::program::VeltoTool(),
                                                 std::vector<std::string>(argv + 1, argv + argc),
                                                 std::cout, std::cerr, exitCode);
        if (!arguments) {
            return exitCode;
        }
        try {
            return Run(arguments->switches());
        } catch (const velto::core::ProcessExit& exit) {
            return exit.code();
        }
    });
}
