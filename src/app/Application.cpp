#include "app/Application.h"

#include <cstdlib>
#include <string_view>

#include "calls/CallHandler.h"
#include "calls/CallTimeText.h"
#include "calls/PendingMessage.h"
#include "core/Messages.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::app {

using platform::Trace;

namespace {

std::filesystem::path ConfigFolder(const platform::KnownFolders& folders) {
    return folders.RoamingAppData().value_or(folders.Temp()) / "Velto";
}

std::filesystem::path InstanceFolder(const ApplicationOptions& options) {
    if (!options.instanceFolder.empty()) {
        return options.instanceFolder;
    }
    const auto& environment = options.folders.environment();
    const auto runtime = environment.find("XDG_RUNTIME_DIR");
    return platform::SingleInstance::ChooseFolder(
        runtime == environment.end() ? "" : runtime->second, ConfigFolder(options.folders));
}

std::unique_ptr<platform::SoundOutput> SoundOutputFor(const ApplicationOptions& options) {
    return options.soundDevice ? platform::OpenSoundOutput(options.clock)
                               : platform::CreateNullSoundOutput(options.clock);
}

// A second voice of the same kind as `first`, without probing and tracing the device anew.
std::unique_ptr<platform::SoundOutput> AnotherVoice(const platform::SoundOutput& first,
                                                    platform::Clock& clock) {
    if (std::string_view(first.Name()) == "portaudio") {
        if (auto voice = platform::CreatePortAudioSoundOutput()) {
            return voice;
        }
    }
    return platform::CreateNullSoundOutput(clock);
}

// A stream on the device when the program's sounds go to one, else one that keeps nothing.
std::unique_ptr<platform::SoundStream> ListenStream(const platform::SoundOutput& first) {
    if (std::string_view(first.Name()) == "portaudio") {
        if (auto voice = platform::CreatePortAudioSoundStream()) {
            return voice;
        }
    }
    return platform::CreateNullSoundStream();
}

std::unique_ptr<platform::SoundInput> SoundInputFor(ApplicationOptions& options) {
    if (options.soundInput) {
        return std::move(options.soundInput);
    }
    return options.soundDevice ? platform::CreatePortAudioSoundInput()
                               : platform::CreateNullSoundInput(options.clock);
}

std::unique_ptr<FrontEnd> FrontEndFor(ApplicationOptions& options) {
    if (options.frontEnd) {
        return std::move(options.frontEnd);
    }
    return std::make_unique<HeadlessFrontEnd>(
        options.clock, HeadlessFrontEnd::Options{options.language, std::move(options.urlOpener),
                                                 std::move(options.answeringPanels)});
}

}  // namespace

server::LinkSettings Application::ServerAddress(
    const platform::Registry& registry, const std::optional<server::LinkSettings>& override) {
    if (override) {
        return *override;
    }
    server::LinkSettings settings;
    std::string host;
    if (registry.QueryString(platform::RegRoot::LocalMachine, core::kVeltoKey, kServerHostValue,
                             host) == platform::RegError::Ok) {
        host = host.substr(0, host.find('\0'));
        if (!host.empty()) {
            settings.host = host;
        }
    }
    uint32_t port = 0;
    if (registry.QueryDword(platform::RegRoot::LocalMachine, core::kVeltoKey, kServerPortValue,
                            port) == platform::RegError::Ok) {
        if (port >= 1 && port <= 65535) {
            settings.port = static_cast<uint16_t>(port);
        } else {
            Trace("ServerPort %u is no port: keeping %u\n", port, settings.port);
        }
    }
    return settings;
}

Application::Application(ApplicationOptions options)
    : clock_(options.clock),
      skypeFactory_(options.skypeFactory),
      loop_(clock_),
      folders_(options.folders),
      registry_({
          .currentUser = options.userHive.empty() ? ConfigFolder(options.folders) / "user.reg"
                                                  : options.userHive,
          .localMachine = options.machineHive,
          .autostartFolder = options.folders.Startup(),
      }),
      frontEnd_(FrontEndFor(options)),
      headless_(dynamic_cast<HeadlessFrontEnd*>(frontEnd_.get())),
      soundOutput_(SoundOutputFor(options)),
      ringOutput_(AnotherVoice(*soundOutput_, options.clock)),
      soundInput_(SoundInputFor(options)),
      instance_(InstanceFolder(options), kInstanceName),
      registrySettings_(state_, registry_, frontEnd_->boxes(), frontEnd_->languageChooser(),
                        folders_),
      settingFile_(state_, userSettings_, registrySettings_),
      refresh_(windows_),
      serverLink_(clock_, workers_, ServerAddress(registry_, options.serverLink)),
      partner_({clock_, workers_, state_, serverLink_, userSettings_, settingFile_, registry_}),
      missed_([this] { return settingFile_.UserOwnFolder(); }),
      ringer_(*ringOutput_),
      callServices_{
          .clock = clock_,
          .workers = workers_,
          .table = table_,
          .shared = state_,
          .settings = userSettings_,
          .missedCalls = missed_,
          .panels = frontEnd_->answeringPanels(),
          .ringer = ringer_,
          .ownFolder = [this] { return settingFile_.UserOwnFolder(); },
          .findPartnerTone =
              [this](const std::string& key) -> std::optional<calls::PartnerToneFile> {
              partner::PartnerTone tone;
              if (!partner_.service().Find(key, tone)) {
                  return std::nullopt;
              }
              return calls::PartnerToneFile{tone.localPath, tone.title};
          },
          .rules = &rules_,
          .listenVoice = [this] { return ListenStream(*soundOutput_); },
      },
      workers_(clock_),
      soundPlayer_(clock_, *soundOutput_, windows_),
      contactUpdates_(clock_, workers_, windows_, table_, state_,
                      {.window = [] { return platform::WindowHandle{0}; },
                       .rebuildAndShow = [] { Trace("Contact list: nothing to show here\n"); }}),
      skypeLink_(skype::SkypeContext{clock_, workers_, loop_, table_, windows_, frontEnd_->boxes(),
                                     registry_, state_, settingFile_, registrySettings_, refresh_,
                                     serverLink_, &partner_.service(), SkypeHooksFor(options)}),
      mainApp_({clock_, state_, registrySettings_, frontEnd_->boxes(), windows_, instance_, {}},
               Hooks()) {
    settingFile_.SetMissedCallSaver([this] { missed_.Save(); });
    frontEnd_->Bind(*this);
}

HeadlessFrontEnd& Application::Headless() {
    if (headless_ == nullptr) {
        Trace("Application: the headless front end was asked for, but another one runs\n");
        std::abort();
    }
    return *headless_;
}

skype::SkypeHooks Application::SkypeHooksFor(ApplicationOptions& options) {
    skype::SkypeHooks hooks;
    if (options.startCallHandler) {
        hooks.startCallHandler = std::move(options.startCallHandler);
    } else if (options.handleCalls) {
        hooks.startCallHandler = [this](platform::Cookie cookie) {
            calls::StartCallHandler(callServices_, cookie);
        };
    }
    hooks.recordBusyCall = [this](const std::string& partnerHandle) {
        calls::MissedCall record;
        record.partnerHandle = partnerHandle;
        record.time = calls::CallTimeText(clock_.WallNow());
        record.busy = true;  // turned away: too many calls at once
        missed_.AddSaveAndFlag(std::move(record));
    };
    hooks.loadMissedCalls = options.loadMissedCalls ? std::move(options.loadMissedCalls) : [this] {
        missed_.Load();
        // Messages of calls a crash or a full disk interrupted get their records now.
        if (const auto folder = settingFile_.UserOwnFolder()) {
            calls::SettlePendingMessages(missed_, *folder / "VoiceMessage", startedAt_);
        }
    };
    // The local ring tone and the sound player each have their own voice, so that a
    // preview and a ringing call can be heard together; a peer's "SP" silences both.
    hooks.stopPlayingSound = [this] {
        ringer_.Silence();
        soundOutput_->Stop();
    };
    return hooks;
}

core::MainAppHooks Application::Hooks() {
    core::MainAppHooks hooks;
    hooks.startSoundPlayer = [this] { soundPlayer_.Start(workers_); };
    hooks.fillTextTable = [] { i18n::FillLanguageTable(); };
    hooks.setUpSkype = [this] { skypeLink_.SetUpSkype(skypeFactory_); };
    hooks.createMainWindow = [this] {
        const platform::WindowHandle window = frontEnd_->CreateMainWindow();
        refresh_.RegisterForRefresh(window);
        return window;
    };
    hooks.showMainWindow = [this](platform::WindowHandle, bool hidden) {
        frontEnd_->ShowMainWindow(hidden);
    };
    hooks.releaseSkype = [this] { skypeLink_.ReleaseSkype(); };
    hooks.saveSettingFile = [this] { settingFile_.SaveSettingFile(); };
    hooks.destroyMainWindow = [this] {
        refresh_.UnregisterFromRefresh(state_.MainWindowHandle);
        frontEnd_->DestroyMainWindow();
    };
    return hooks;
}

int32_t Application::AddConvertedTone(const std::u16string& sourcePath, const std::u16string& title,
                                      const std::u16string& path) {
    // Both entries first, then one save of the setting file.
    const std::optional<int32_t> id = userSettings_.InsertTone(core::CatalogueTone{title, path});
    if (!id) {
        Trace("No catalogue id left for %s\n", platform::Utf16ToUtf8(title).c_str());
        return -1;
    }
    userSettings_.SetConverted(platform::Utf16ToUtf8(sourcePath), *id);
    settingFile_.SaveSettingFile();
    return *id;
}

std::shared_ptr<audio::ConvertingThread> Application::StartToneConversion(
    std::u16string sourcePath, platform::WindowHandle notifyWindow) {
    audio::ConvertingContext context{
        .windows = windows_,
        .owner = loop_,
        .state = state_,
        .tempFolder = folders_.Temp(),
        .addTone =
            [this, sourcePath](const std::u16string& title, const std::u16string& path) {
                return AddConvertedTone(sourcePath, title, path);
            },
    };
    return audio::ConvertingThread::Start(workers_, std::move(context), std::move(sourcePath),
                                          notifyWindow);
}

bool Application::Start(const std::vector<std::string>& arguments) {
    return mainApp_.InitInstance(arguments);
}

int Application::Run() {
    frontEnd_->Run(loop_);
    return exitCode_;
}

void Application::Quit(int exitCode) {
    loop_.Post([this, exitCode] {
        exitCode_ = exitCode;
        mainApp_.DestroyMainWindow();
        loop_.Quit(exitCode);
    });
}

void Application::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    // Downloads, calls and conversions end their waits now, so that joining them is short.
    workers_.stop().Request();
    if (!skypeLink_.StopStabilisers()) {
        Trace("Application: a stabiliser did not end in time\n");
    }
    mainApp_.DestroyMainWindow();
    // Requesters waiting on the link (first-run report, partner engine) fail at once.
    if (server::ServerCommunication* link = serverLink_.IfCreated()) {
        link->Stop();
    }
}

Application::~Application() {
    Shutdown();
}

}  // namespace velto::app
