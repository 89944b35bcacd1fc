#include "core/MainApp.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "core/CommandLine.h"
#include "core/Messages.h"
#include "platform/Trace.h"

namespace velto::core {

using platform::Trace;

namespace {

bool GetCurrentDirectory(std::string& out) {
    char buffer[1024];
    if (::getcwd(buffer, sizeof buffer) == nullptr) {
        return false;
    }
    out = buffer;
    return true;
}

}  // namespace

MainApp::MainApp(MainAppServices services, MainAppHooks hooks)
    : services_(std::move(services)), hooks_(std::move(hooks)) {
    if (!services_.currentDirectory) {
        services_.currentDirectory = GetCurrentDirectory;
    }
}

bool MainApp::InitInstance(const std::vector<std::string>& arguments) {
    // 1. Seed the pseudo-random generator.
    const auto now = services_.clock.WallNow().time_since_epoch();
    std::srand(
        static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(now).count()));
    // 2. Sockets need no start-up here.

    // 3. One instance per user.
    switch (services_.instance.Acquire()) {
        case platform::SingleInstance::Outcome::Failed:
            Trace("Error: Create Mutext (GetLastError:%d)\n", services_.instance.error());
            return false;
        case platform::SingleInstance::Outcome::AnotherRunning:
            Trace("MainApp: another instance is running; asking it to show its window\n");
            services_.instance.AskOwnerToShow();
            return false;
        case platform::SingleInstance::Outcome::First:
            break;
    }
    platform::WindowManager& windows = services_.windows;
    services_.instance.Listen([&windows] {
        const platform::WindowHandle window = windows.FindWindow(kMainWindowTitle);
        if (window != 0) {
            windows.PostMessage(window, WM_SHOW_MAIN_WINDOW, 0, 0);
        }
    });
    Trace("MainApp: single instance acquired\n");

    // 4.-7. COM, the ATL module, GDI+ and the common controls have nothing to set up.
    platformUp_ = true;

    // 8. Settings (may end the process).
    services_.settings.LoadStartupSettings();
    // 9.-11.
    if (hooks_.startSoundPlayer)
        hooks_.startSoundPlayer();
    if (hooks_.fillTextTable)
        hooks_.fillTextTable();
    if (hooks_.setUpSkype)
        hooks_.setUpSkype();
    // 12.-13.
    const platform::WindowHandle window = hooks_.createMainWindow ? hooks_.createMainWindow() : 0;
    windowUp_ = true;
    services_.state.MainWindowHandle = window;
    Trace("MainApp: main window %u created\n", window);
    // 14.
    CCustomCommandLineInfo commandLine;
    ParseCommandLine(arguments, commandLine);
    if (commandLine.startedHidden()) {
        services_.state.StartedHidden = true;
    }
    // 15.
    if (hooks_.showMainWindow)
        hooks_.showMainWindow(window, services_.state.StartedHidden);
    // 16.
    std::string currentDirectory;
    if (!services_.currentDirectory(currentDirectory)) {
        services_.boxes.Show("Error Getting Current Directory", "");
        DestroyMainWindow();
        return false;
    }
    // 17.
    return true;
}

void MainApp::DestroyMainWindow() {
    if (!windowUp_) {
        return;
    }
    windowUp_ = false;
    Trace("MainApp: main window destroyed: releasing Skype\n");
    if (hooks_.releaseSkype)
        hooks_.releaseSkype();
    Trace("MainApp: saving the setting file\n");
    if (hooks_.saveSettingFile)
        hooks_.saveSettingFile();
    Trace("MainApp: destroying the main window's controls\n");
    if (hooks_.destroyMainWindow)
        hooks_.destroyMainWindow();
    services_.state.MainWindowHandle = 0;
}

MainApp::~MainApp() {
    DestroyMainWindow();
    if (platformUp_) {
        // GDI+, the console, COM and the socket library: nothing is held on this system.
        Trace("MainApp: shutting down graphics, COM and sockets\n");
    }
}

}  // namespace velto::core
