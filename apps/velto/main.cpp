// The velto program: the composition root of the headless front end.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/MainApp.h"
#include "core/ProcessExit.h"
#include "core/RegistrySettings.h"
#include "core/SharedState.h"
#include "headless/FixedLanguageChooser.h"
#include "headless/HeadlessMainWindow.h"
#include "platform/Clock.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/QuitSignals.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "platform/WindowManager.h"

namespace {

using namespace velto;

// 27 upper-case letters, private to this program.
constexpr const char* kInstanceName = "VELTOSKYPERINGBACKTONEMUTEX";

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

int Run(const std::vector<std::string>& arguments) {
    platform::RealClock clock;
    platform::MessageLoop loop(clock);
    // Before any other thread starts: SIGINT and SIGTERM become the tray's Quit.
    core::MainApp* app = nullptr;
    platform::QuitSignals quitSignals([&](int signal) {
        platform::Trace("velto: signal %d: quitting\n", signal);
        loop.Post([&] {
            if (app != nullptr) {
                app->DestroyMainWindow();
            }
            loop.Quit(0);
        });
    });

    const platform::KnownFolders folders = platform::KnownFolders::FromProcess();
    const auto config = folders.RoamingAppData().value_or("") / "Velto";
    platform::Registry registry({
        .currentUser = config / "user.reg",
        .localMachine = ExecutableFolder() / ".." / "share" / "velto" / "machine.reg",
        .autostartFolder = folders.Startup(),
    });
    const auto runtime = folders.environment().find("XDG_RUNTIME_DIR");
    platform::SingleInstance instance(
        platform::SingleInstance::ChooseFolder(
            runtime == folders.environment().end() ? "" : runtime->second, config),
        kInstanceName);

    core::SharedState state;
    platform::HeadlessMessageBoxes boxes;
    headless::FixedLanguageChooser chooser;
    core::RegistrySettings settings(state, registry, boxes, chooser, folders);
    platform::WindowManager windows;
    headless::HeadlessMainWindow mainWindow(windows, loop);

    core::MainAppHooks hooks;
    hooks.createMainWindow = [&] { return mainWindow.Create(); };
    hooks.showMainWindow = [&](platform::WindowHandle, bool hidden) { mainWindow.Show(hidden); };
    hooks.destroyMainWindow = [&] { mainWindow.Destroy(); };
    core::MainApp mainApp({clock, state, settings, boxes, windows, instance, {}}, hooks);
    app = &mainApp;
    struct Detach {
        core::MainApp*& app;
        platform::MessageLoop& loop;
        ~Detach() {
            loop.ProcessPending();  // a Quit posted meanwhile must not outlive the app
            app = nullptr;
        }
    } detach{app, loop};

    if (!mainApp.InitInstance(arguments)) {
        return 0;
    }
    platform::Trace("velto: running\n");
    const int code = loop.Run();
    platform::Trace("velto: message loop ended\n");
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    // Trace lines are diagnostics; each one is to be seen at once, even through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const velto::core::ProcessExit& exit) {
        return exit.code();
    }
}
