#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FrontEnd.h"
#include "app/HeadlessFrontEnd.h"
#include "audio/ConvertingThread.h"
#include "audio/SoundPlayer.h"
#include "callapi/SkypeFactory.h"
#include "calls/AnsweringPanel.h"
#include "calls/CallServices.h"
#include "calls/LocalRinger.h"
#include "calls/MissedCallList.h"
#include "calls/RulesStore.h"
#include "core/MainApp.h"
#include "core/RegistrySettings.h"
#include "core/SettingFileStore.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "i18n/RefreshList.h"
#include "partner/PartnerStack.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "platform/SoundInput.h"
#include "platform/SoundOutput.h"
#include "platform/UrlOpener.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"
#include "server/ContactUpdateHandlers.h"
#include "server/ServerCommunicationInstance.h"
#include "skype/SkypeLink.h"

namespace velto::app {

// Values under HKEY_LOCAL_MACHINE\Software\Velto that point the program at another
// communication server (a test or staging server): "ServerHost" (REG_SZ) and "ServerPort"
// (REG_DWORD, 1..65535). Absent or unusable values keep the built-in address.
inline constexpr const char* kServerHostValue = "ServerHost";
inline constexpr const char* kServerPortValue = "ServerPort";
// 27 upper-case letters, private to this program.
inline constexpr const char* kInstanceName = "VELTOSKYPERINGBACKTONEMUTEX";

// What differs between the programs and tests that run the application.
struct ApplicationOptions {
    // Every wait of the program runs on it: RealClock for velto, VirtualClock in tests.
    platform::Clock& clock;
    // The user's folders (tests: a sandbox environment).
    platform::KnownFolders folders;
    // The machine hive (InstallDir, the server override).
    std::filesystem::path machineHive;
    // The user hive; empty: <roaming app data>/Velto/user.reg.
    std::filesystem::path userHive = {};
    // Where the single-instance lock lives; empty: $XDG_RUNTIME_DIR/velto, else the
    // user's config folder.
    std::filesystem::path instanceFolder = {};
    // Creates the Skype object; null: Skype is absent (no automation component).
    skype::SkypeFactory* skypeFactory = nullptr;
    // The answer to the first-start language question; nothing: the dialog's preselection.
    std::optional<int32_t> language = std::nullopt;
    // Replaces the server address (and the machine hive's override) when given.
    std::optional<server::LinkSettings> serverLink = std::nullopt;
    // False: the null sound output (keeps time only); true: a device when one opens.
    bool soundDevice = false;
    // The microphone; null: the default input device when `soundDevice`, else the null
    // input (silence on the clock).
    std::unique_ptr<platform::SoundInput> soundInput = nullptr;
    // Opens web addresses; null: the user's browser (xdg-open).
    std::unique_ptr<platform::UrlOpener> urlOpener = nullptr;
    // Starts a call handler for a new call (it owns the cookie); empty: the program's own
    // calls::CallHandler on callServices().
    std::function<void(platform::Cookie callCookie)> startCallHandler = {};
    // False: calls get no handler at all (the Skype link gives each call back at once).
    bool handleCalls = true;
    // The missed-call list's part of the personal-settings load; empty: the list reads
    // the user's "MissedCalls".
    std::function<void()> loadMissedCalls = {};
    // Makes the answering panels; null: scripted panels without a screen (no rules: the
    // user never decides).
    std::unique_ptr<calls::AnsweringPanels> answeringPanels = nullptr;
    // What the user sees; null: the headless front end, made from `language`, `urlOpener`
    // and `answeringPanels` (which are ignored when a front end is given).
    std::unique_ptr<FrontEnd> frontEnd = nullptr;
};

// The program put together without a GUI toolkit: it owns the platform services, the
// shared state, the settings, the server link, the partner service, the sound player,
// the front end (headless unless another is given) and the Skype link, and runs the application
// object's start-up with every step filled. Create, Start and Run it on the main thread.
class Application {
  public:
    explicit Application(ApplicationOptions options);
    // Orderly shut-down: the main window goes (releasing Skype, saving the setting file),
    // then every worker ends.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application object's start-up. False: this process must end (exit code 0),
    // for instance because another instance runs. Settings errors throw core::ProcessExit.
    bool Start(const std::vector<std::string>& arguments = {});
    // The front end's message loop, until Quit; returns the exit code given to Quit. A
    // core::ProcessExit raised inside it (Skype too old) passes through.
    int Run();
    // From any thread: the tray's Quit (the main window goes, then the loop ends).
    void Quit(int exitCode = 0);
    // Ends the run early (from the main thread): what the destructor does. Idempotent.
    void Shutdown();

    // For tests and scenarios, which drive the loop themselves (loop().RunUntil).
    platform::Clock& clock() { return clock_; }
    platform::MessageLoop& loop() { return loop_; }
    platform::Workers& workers() { return workers_; }
    platform::WindowManager& windows() { return windows_; }
    platform::InterfaceTable& table() { return table_; }
    platform::Registry& registry() { return registry_; }
    FrontEnd& frontEnd() { return *frontEnd_; }
    platform::MessageBoxes& messageBoxes() { return frontEnd_->boxes(); }
    // The headless front end's boxes and main window (tests and scenarios); the program
    // ends with a trace when another front end runs.
    platform::HeadlessMessageBoxes& boxes() { return Headless().headlessBoxes(); }
    headless::HeadlessMainWindow& mainWindow() { return Headless().mainWindow(); }
    // The sound player's voice (previews) and the local ringer's.
    platform::SoundOutput& soundOutput() { return *soundOutput_; }
    platform::SoundOutput& ringOutput() { return *ringOutput_; }
    // The microphone (recording the greeting).
    platform::SoundInput& soundInput() { return *soundInput_; }
    platform::UrlOpener& urlOpener() { return frontEnd_->urlOpener(); }
    core::SharedState& state() { return state_; }
    core::RegistrySettings& registrySettings() { return registrySettings_; }
    core::UserSettings& userSettings() { return userSettings_; }
    core::SettingFileStore& settingFile() { return settingFile_; }
    i18n::RefreshList& refreshList() { return refresh_; }
    server::ServerCommunicationInstance& serverLink() { return serverLink_; }
    partner::PartnerToneService& partner() { return partner_.service(); }
    audio::SoundPlayer& soundPlayer() { return soundPlayer_; }
    server::ContactUpdateHandlers& contactUpdates() { return contactUpdates_; }
    skype::SkypeLink& skypeLink() { return skypeLink_; }
    core::MainApp& mainApp() { return mainApp_; }
    calls::MissedCallList& missedCalls() { return missed_; }
    calls::AnsweringPanels& answeringPanels() { return frontEnd_->answeringPanels(); }
    calls::LocalRinger& localRinger() { return ringer_; }
    calls::CallServices& callServices() { return callServices_; }
    calls::RulesStore& rules() { return rules_; }

    // Turns a file the user picked (MP3 or WAV) into a tone in the user's "RingTone" folder
    // on a worker, enters it into the tone catalogue and the converted-file table (keyed
    // by `sourcePath`), and tells `notifyWindow` with WM_CONVERSION_DONE.
    std::shared_ptr<audio::ConvertingThread> StartToneConversion(
        std::u16string sourcePath, platform::WindowHandle notifyWindow);

    // The communication server's address: `override` when given, else the built-in one
    // with the machine hive's ServerHost/ServerPort applied.
    static server::LinkSettings ServerAddress(const platform::Registry& registry,
                                              const std::optional<server::LinkSettings>& override);

  private:
    HeadlessFrontEnd& Headless();
    core::MainAppHooks Hooks();
    skype::SkypeHooks SkypeHooksFor(ApplicationOptions& options);
    int32_t AddConvertedTone(const std::u16string& sourcePath, const std::u16string& title,
                             const std::u16string& path);

    // Side files of messages older than this run are left over from an earlier one.
    std::filesystem::file_time_type startedAt_ = std::filesystem::file_time_type::clock::now();
    platform::Clock& clock_;
    skype::SkypeFactory* skypeFactory_;
    platform::MessageLoop loop_;
    platform::WindowManager windows_;
    platform::InterfaceTable table_;
    platform::KnownFolders folders_;
    platform::Registry registry_;
    // Before everything that shows or asks the user something.
    std::unique_ptr<FrontEnd> frontEnd_;
    HeadlessFrontEnd* headless_ = nullptr;  // frontEnd_ when it is the headless one
    std::unique_ptr<platform::SoundOutput> soundOutput_;
    std::unique_ptr<platform::SoundOutput> ringOutput_;
    std::unique_ptr<platform::SoundInput> soundInput_;
    platform::SingleInstance instance_;
    core::SharedState state_;
    core::RegistrySettings registrySettings_;
    core::UserSettings userSettings_;
    core::SettingFileStore settingFile_;
    i18n::RefreshList refresh_;
    server::ServerCommunicationInstance serverLink_;
    partner::PartnerStack partner_;
    // Used by the call handlers, which the workers below run.
    calls::MissedCallList missed_;
    calls::LocalRinger ringer_;
    calls::RulesStore rules_;
    calls::CallServices callServices_;
    // Joined after the objects below have ended their own threads and Shutdown has stopped
    // the server link, and before the objects above (which the threads use) go.
    platform::Workers workers_;
    audio::SoundPlayer soundPlayer_;
    server::ContactUpdateHandlers contactUpdates_;
    skype::SkypeLink skypeLink_;
    core::MainApp mainApp_;
    bool shutDown_ = false;
    std::atomic<int> exitCode_{0};
};

}  // namespace velto::app
