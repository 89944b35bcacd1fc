#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/RegistrySettings.h"
#include "core/SharedState.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SingleInstance.h"
#include "platform/WindowManager.h"

namespace velto::core {

inline constexpr const char* kMainWindowTitle = "Velto MP3 Ringback Tones";

// The steps of start-up and shut-down that belong to other parts of the program. The
// composition root fills them; an empty hook is skipped.
struct MainAppHooks {
    std::function<void()> startSoundPlayer;  // start-up step 9
    std::function<void()> fillTextTable;     // step 10
    std::function<void()> setUpSkype;        // step 11: object, sinks, table entry, attach
    // Step 12: creates the main window (titled kMainWindowTitle) and returns its handle.
    std::function<platform::WindowHandle()> createMainWindow;
    std::function<void(platform::WindowHandle, bool hidden)> showMainWindow;  // step 15
    // The main window's destruction, in this order:
    std::function<void()> releaseSkype;       // release SkypeObject, revoke SkypeCookie,
                                              // destroy the event sink
    std::function<void()> saveSettingFile;    // the setting file
    std::function<void()> destroyMainWindow;  // its controls, then the window itself
};

struct MainAppServices {
    platform::Clock& clock;
    SharedState& state;
    RegistrySettings& settings;
    platform::MessageBoxes& boxes;
    platform::WindowManager& windows;
    platform::SingleInstance& instance;
    // Reads the current directory; the default uses getcwd() with a 1,024-byte buffer.
    std::function<bool(std::string&)> currentDirectory;
};

// The application object: one instance per user, start-up in its fixed order, shut-down
// in reverse. Runs on the main thread.
class MainApp {
  public:
    MainApp(MainAppServices services, MainAppHooks hooks);
    // Shuts down the platform services (after the main window is gone).
    ~MainApp();
    MainApp(const MainApp&) = delete;
    MainApp& operator=(const MainApp&) = delete;

    // True: enter the message loop. False: end the process (exit code 0). Settings errors
    // throw ProcessExit after their message box.
    bool InitInstance(const std::vector<std::string>& arguments);

    // The main window's destruction (the tray's Quit). Runs once; later calls do nothing.
    void DestroyMainWindow();

  private:
    MainAppServices services_;
    MainAppHooks hooks_;
    bool platformUp_ = false;
    bool windowUp_ = false;
};

}  // namespace velto::core
