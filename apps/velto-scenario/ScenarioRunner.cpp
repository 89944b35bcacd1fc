#include "velto-scenario/ScenarioRunner.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "DevFrameServer.h"
#include "DevHttpServer.h"
#include "app/Application.h"
#include "backends/sim/SimWav.h"
#include "backends/sim/SimWorld.h"
#include "callapi/Skype.h"
#include "calls/CallEnd.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "core/Messages.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "rules/CivilTime.h"
#include "rules/RuleWords.h"

namespace velto::scenario {
namespace {

// The verbs that click the windows (the GUI's guiVerb carries them out).
bool IsWindowVerb(const std::string& verb) {
    static const char* const verbs[] = {"select",    "page",   "tick",  "change",          "pick",
                                        "play",      "delete", "ok",    "choose-language", "cancel",
                                        "sip-state", "field",  "apply", "record"};
    for (const char* known : verbs) {
        if (verb == known) {
            return true;
        }
    }
    return false;
}

using platform::Millis;
using skype::CallStatus;

// How long the start waits for the first grant of access (virtual or real time).
constexpr Millis kAttachWait{20000};
// The longest a scenario's end waits for the calls to finish.
constexpr Millis kEndWait{24 * 3600 * 1000};
// After an interrupt the call handlers let their calls go at once; this only bounds it.
constexpr Millis kInterruptedEndWait{1000};

std::optional<skype::OnlineStatus> OnlineStatusNamed(const std::string& name) {
    static const std::map<std::string, skype::OnlineStatus> kNames = {
        {"offline", skype::OnlineStatus::Offline},
        {"online", skype::OnlineStatus::Online},
        {"away", skype::OnlineStatus::Away},
        {"na", skype::OnlineStatus::NotAvailable},
        {"dnd", skype::OnlineStatus::DoNotDisturb}};
    const auto found = kNames.find(name);
    return found == kNames.end() ? std::nullopt : std::optional(found->second);
}

std::optional<skype::UserStatus> UserStatusNamed(const std::string& name) {
    static const std::map<std::string, skype::UserStatus> kNames = {
        {"offline", skype::UserStatus::Offline},  {"online", skype::UserStatus::Online},
        {"away", skype::UserStatus::Away},        {"na", skype::UserStatus::NotAvailable},
        {"dnd", skype::UserStatus::DoNotDisturb}, {"invisible", skype::UserStatus::Invisible}};
    const auto found = kNames.find(name);
    return found == kNames.end() ? std::nullopt : std::optional(found->second);
}

std::optional<bool> OnOff(const std::string& word) {
    if (word == "on") {
        return true;
    }
    if (word == "off") {
        return false;
    }
    return std::nullopt;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string RegString(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// The development server, in this process, on free loopback ports.
struct DevServer {
    devserver::DevHttpServer http;
    std::unique_ptr<devserver::DevFrameServer> frames;
};

// Plays a scenario against the whole program: the Application on the simulated Skype
// client and the headless front end, in a sandbox home folder.
class Runner {
  public:
    Runner(platform::Clock& clock, const RunOptions& options, Report& report)
        : clock_(clock), options_(options), report_(report) {}

    ~Runner() {
        if (options_.interrupt != nullptr) {
            options_.interrupt->SetHandler({});
        }
        if (app_) {
            app_->Shutdown();
        }
        app_.reset();
    }

    bool Run(const std::vector<Step>& steps, std::string& error) {
        if (options_.interrupt != nullptr) {
            // The tray's Quit, as velto does it on a signal; the waits below end with it.
            options_.interrupt->SetHandler([this] {
                std::lock_guard guard(appMutex_);
                if (app_) {
                    app_->Quit();
                }
            });
        }
        for (const Step& step : steps) {
            if (Interrupted()) {
                break;
            }
            std::string why;
            if (!Do(step, why)) {
                error = "line " + std::to_string(step.line) + ": " + why;
                return false;
            }
        }
        if (!app_ && !Start(error)) {
            return false;
        }
        if (options_.stayOpen && !Interrupted()) {
            RunUntil([&] { return app_->loop().QuitRequested(); }, kEndWait);
        }
        if (Interrupted()) {
            EndEarly();
        } else {
            End();
        }
        Collect();
        return true;
    }

  private:
    std::filesystem::path FileOf(const std::string& name) const {
        const std::filesystem::path path(name);
        return path.is_absolute() || options_.scenarioDir.empty() ? std::filesystem::absolute(path)
                                                                  : options_.scenarioDir / path;
    }

    // --- the world before the program starts ---

    bool Start(std::string& error) {
        const std::filesystem::path home = options_.dataDir;
        WriteText(home / "machine.reg",
                  "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n\"InstallDir\"=\"" +
                      RegString(options_.installDir.string()) + "\"\n");
        // Not the first start (no first-run report) and the scenario's language.
        char language[16];
        std::snprintf(language, sizeof language, "%08x", static_cast<unsigned>(language_));
        const std::filesystem::path userHive = home / ".config" / "Velto" / "user.reg";
        if (!std::filesystem::exists(userHive)) {
            WriteText(userHive, std::string("Windows Registry Editor Version 5.00\n\n"
                                            "[Software\\Velto]\n\"DefaultLanguage\"=dword:") +
                                    language + "\n\"Executed\"=dword:ffffffff\n");
        }
        std::map<std::string, std::string> environment{{"HOME", home.string()}};
        app::ApplicationOptions options{
            .clock = clock_,
            .folders = platform::KnownFolders(environment),
            .machineHive = home / "machine.reg",
            .instanceFolder = home / "run",
            .skypeFactory = world_.get(),
            .language = language_,
            // Without a server in the scenario nothing listens there: requests fail at once.
            .serverLink = server_.value_or(server::LinkSettings{.host = "127.0.0.1", .port = 1}),
            .urlOpener = std::make_unique<platform::RecordingUrlOpener>(),
        };
        auto panels = std::make_unique<calls::ScriptedAnsweringPanels>(clock_);
        panels_ = panels.get();
        if (options_.frontEnd) {
            options.frontEnd =
                options_.frontEnd(std::move(panels), std::move(options.urlOpener), language_);
        } else {
            options.answeringPanels = std::move(panels);
        }
        {
            std::lock_guard guard(appMutex_);
            app_ = std::make_unique<app::Application>(std::move(options));
        }
        app_->callServices().ruleDecided = [this](int32_t callId, const std::string& rule) {
            std::lock_guard guard(ruleMutex_);
            decidedRules_[callId] = rule;
        };
        if (!options_.frontEnd) {
            app_->boxes().set_quiet(true);
        }
        if (signIn_) {
            world_->SignIn();
        }
        if (!app_->Start()) {
            error = "the program did not start (another instance runs?)";
            return false;
        }
        start_ = clock_.Now();
        if (!options_.frontEnd) {
            app_->mainWindow().SetHandler(
                core::WM_CONTACTS_STABLE, [this](platform::WParam, platform::LParam) {
                    if (!report_.contactListShownAt) {
                        report_.contactListShownAt = clock_.Now() - start_;
                    }
                    return platform::LResult{0};
                });
        }
        if (signIn_) {
            RunUntil([&] { return app_->state().SkypeAttached.load(); }, kAttachWait);
            if (app_->state().SkypeAttached) {
                report_.attachedAt = clock_.Now() - start_;
            }
        }
        ApplySettingsOnceAttached();
        return true;
    }

    // Choices the user makes in the settings; they land in the tables once the grant has
    // read the user's setting file, and are saved there.
    void ApplySettingsOnceAttached() {
        if (!app_ || !app_->state().SkypeAttached || pending_.empty()) {
            return;
        }
        for (const auto& apply : pending_) {
            apply();
        }
        pending_.clear();
        app_->settingFile().SaveSettingFile();
    }

    void Setting(std::function<void()> apply) {
        pending_.push_back(std::move(apply));
        ApplySettingsOnceAttached();
    }

    bool StartDevServer(const std::string& catalogueFile, const std::string& tonesDir,
                        std::string& why) {
        std::ifstream in(FileOf(catalogueFile));
        if (!in) {
            why = "cannot read the catalogue " + catalogueFile;
            return false;
        }
        devserver::ToneCatalogue catalogue;
        if (!devserver::ReadToneCatalogue(in, catalogue, why)) {
            why = catalogueFile + ": " + why;
            return false;
        }
        devServer_ = std::make_unique<DevServer>();
        devServer_->http.ServeFolder("/tones/", FileOf(tonesDir));
        if (!devServer_->http.Start("127.0.0.1", 0)) {
            why = "the development server cannot listen (http)";
            return false;
        }
        devServer_->frames = std::make_unique<devserver::DevFrameServer>(
            std::move(catalogue),
            "http://127.0.0.1:" + std::to_string(devServer_->http.port()) + "/tones/");
        if (!devServer_->frames->Start("127.0.0.1", 0)) {
            why = "the development server cannot listen (frames)";
            return false;
        }
        server_ = server::LinkSettings{.host = "127.0.0.1",
                                       .port = static_cast<uint16_t>(devServer_->frames->port())};
        return true;
    }

    bool Do(const Step& step, std::string& why) {
        const auto& a = step.args;
        const std::string& v = step.verb;
        const auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
        const bool before = !app_;
        if (v == "user") {
            world_->SetCurrentUser(a[0], arg(1), a.size() > 2 ? a[2] : arg(1));
        } else if (v == "contact") {
            world_->AddContact(
                {a[0], arg(1), a.size() > 2 ? a[2] : arg(1), skype::OnlineStatus::Online, false});
        } else if (IsRulesVerb(v)) {
            return RulesVerb(step, before, why);
        } else if (v == "skype-version") {
            world_->SetVersion(a[0]);
        } else if (v == "language" || v == "server" || v == "devserver") {
            if (!before) {
                why = "'" + v + "' belongs before the first timed step";
                return false;
            }
            if (v == "language") {
                language_ = std::atoi(a[0].c_str());
            } else if (v == "server") {
                const int port = std::atoi(a[1].c_str());
                if (port < 1 || port > 65535) {
                    why = "'" + a[1] + "' is no port";
                    return false;
                }
                server_ = server::LinkSettings{.host = a[0], .port = static_cast<uint16_t>(port)};
            } else if (!StartDevServer(a[0], a[1], why)) {
                return false;
            }
        } else if (v == "voicemail" || v == "friendmsg") {
            const auto on = OnOff(a[0]);
            if (!on) {
                why = "write on or off";
                return false;
            }
            if (v == "voicemail") {
                Setting([this, on] { app_->userSettings().SetVoiceMailOn(*on); });
            } else {
                Setting([this, on] {
                    app_->state().FriendMsgEnabled = *on;
                    app_->registry().SetDword(platform::RegRoot::CurrentUser, core::kVeltoKey,
                                              "FriendMsg", *on ? core::kOn : 0);
                });
            }
        } else if (v == "standard") {
            const int value = std::atoi(a[0].c_str());
            Setting([this, value] { app_->userSettings().SetStandardTone(value); });
        } else if (v == "ringback") {
            const core::RingBackChoice choice{std::atoi(a[1].c_str()),
                                              a.size() > 2 ? std::atoi(a[2].c_str()) : -1,
                                              a.size() > 3 ? std::atoi(a[3].c_str()) : -1};
            const std::string handle = a[0];
            Setting([this, handle, choice] { app_->userSettings().SetRingBack(handle, choice); });
        } else if (v == "tone") {
            const std::filesystem::path file = FileOf(a[1]);
            const std::string handle = a[0];
            const std::string title = a.size() > 2 ? a[2] : file.stem().string();
            Setting([this, handle, file, title] {
                const auto id = app_->userSettings().InsertTone(
                    {platform::Utf8ToUtf16(title), platform::Utf8ToUtf16(file.string())});
                app_->userSettings().SetRingBack(handle, {3, id.value_or(-1), -1});
            });
        } else if (v == "greeting" || v == "busy-greeting") {
            std::optional<core::GreetingChoice> greeting;
            if (!ParseGreetingWord(a.back(), v == "busy-greeting", greeting, why)) {
                return false;
            }
            if (v == "greeting") {
                Setting([this, handle = a[0], greeting] {
                    app_->userSettings().SetGreeting(handle, *greeting);
                });
            } else {
                Setting([this, greeting] { app_->userSettings().SetBusyGreeting(greeting); });
            }
        } else if (v == "attach" && before && a[0] != "signin" && a[0] != "signout") {
            return AttachBefore(a[0], why);
        } else {
            if (before && !Start(why)) {
                return false;
            }
            const bool done = DoTimed(step, why);
            ApplySettingsOnceAttached();
            return done;
        }
        return true;
    }

    static bool IsRulesVerb(const std::string& verb) {
        return verb == "group" || verb == "start" || verb == "catalogue" || verb == "userfile" ||
               verb == "rule";
    }

    // What the rules need before the calls: groups, the start moment, catalogue tones,
    // files of the user's folder and the rules themselves.
    bool RulesVerb(const Step& step, bool before, std::string& why) {
        const auto& a = step.args;
        const std::string& v = step.verb;
        if (v == "group") {
            std::vector<std::string> groups;
            std::stringstream list(a[1]);
            for (std::string group; std::getline(list, group, ',');) {
                groups.push_back(group);
            }
            world_->SetGroups(a[0], std::move(groups));
        } else if (v == "start") {
            if (!before) {
                why = "'start' belongs before the first timed step";
                return false;
            }  // the clock was set from it before the run (StartOfScenario)
        } else if (v == "catalogue") {
            const std::filesystem::path file = FileOf(a[0]);
            const std::string title = a.size() > 1 ? a[1] : file.stem().string();
            toneFiles_.insert(a[0]);
            Setting([this, name = a[0], file, title] {
                if (const auto id = app_->userSettings().InsertTone(
                        {platform::Utf8ToUtf16(title), platform::Utf8ToUtf16(file.string())})) {
                    toneIds_[name] = *id;
                }
            });
        } else if (v == "userfile") {
            const std::filesystem::path file = FileOf(a[0]);
            Setting([this, file] { CopyIntoUserFolder(file); });
        } else if (v == "rule") {
            return AddRule(a, why);
        }
        return true;
    }

    // A rule in words; checked at once (tones named by file must be in the catalogue
    // steps before it), written into the user's rules file once the settings land.
    bool AddRule(const std::vector<std::string>& words, std::string& why) {
        const auto placeholder = [this](const std::string& file) -> std::optional<int32_t> {
            return toneFiles_.count(file) != 0 ? std::optional<int32_t>(0) : std::nullopt;
        };
        const rules::ParsedRuleWords checked = rules::ParseRuleWords(words, placeholder);
        if (!checked.rule) {
            why = checked.error;
            return false;
        }
        Setting([this, words] {
            const rules::ParsedRuleWords parsed =
                rules::ParseRuleWords(words, [this](const std::string& file) {
                    const auto found = toneIds_.find(file);
                    return found == toneIds_.end() ? std::nullopt
                                                   : std::optional<int32_t>(found->second);
                });
            const auto folder = app_->settingFile().UserOwnFolder();
            if (!parsed.rule || !folder) {
                platform::Trace("Scenario: rule %s not written\n", words[0].c_str());
                return;
            }
            rules_.push_back(*parsed.rule);
            app_->rules().Save(*folder, rules_);
        });
        return true;
    }

    void CopyIntoUserFolder(const std::filesystem::path& file) {
        const auto folder = app_->settingFile().UserOwnFolder();
        std::error_code error;
        if (folder) {
            std::filesystem::create_directories(*folder, error);
        }
        if (!folder ||
            !std::filesystem::copy_file(file, *folder / file.filename(),
                                        std::filesystem::copy_options::overwrite_existing, error)) {
            platform::Trace("Scenario: %s not copied into the user's folder\n",
                            file.string().c_str());
        }
    }

    // How Skype stands when the program starts.
    bool AttachBefore(const std::string& what, std::string& why) {
        if (what == "notrunning") {
            signIn_ = false;
        } else if (what == "running") {
            signIn_ = false;
            world_->StartSkype();
        } else if (what == "pending") {
            world_->SetAuthorizationPolicy(skype::sim::AuthorizationPolicy::AskUser);
        } else if (what == "refused") {
            world_->SetAuthorizationPolicy(skype::sim::AuthorizationPolicy::Refuse);
        } else if (what == "granted") {
            world_->SetAuthorizationPolicy(skype::sim::AuthorizationPolicy::Grant);
        } else {
            why = kAttachWords;
            return false;
        }
        return true;
    }

    // --- timed steps, on the program's main loop ---

    static constexpr const char* kAttachWords =
        "attach signin, signout, notrunning, running, available, pending, refused, granted or "
        "exit";

    bool Interrupted() const {
        return options_.interrupt != nullptr && options_.interrupt->Requested();
    }

    void RunUntil(const std::function<bool()>& done, Millis limit) {
        const auto until = [&] { return done() || Interrupted(); };
        if (!options_.pump) {
            app_->loop().RunUntil(until, limit);
            return;
        }
        const Millis deadline = clock_.Now() + limit;
        options_.pump();
        while (!until() && clock_.Now() < deadline) {
            app_->loop().RunUntil(until, std::min(kPumpEvery, deadline - clock_.Now()), kPumpEvery);
            options_.pump();
        }
    }

    void WaitUntil(Millis when) {
        if (options_.pump) {
            RunUntil([&] { return clock_.Now() >= when; }, when - clock_.Now());
        }
        while (clock_.Now() < when && !Interrupted()) {
            app_->loop().RunUntil([&] { return clock_.Now() >= when || Interrupted(); },
                                  when - clock_.Now(), when - clock_.Now());
        }
        app_->loop().ProcessPending();
    }

    bool DoTimed(const Step& step, std::string& why) {
        const auto& a = step.args;
        const std::string& v = step.verb;
        if (v == "at") {
            WaitUntil(start_ + *ParseDuration(a[0]));
        } else if (v == "wait") {
            WaitUntil(clock_.Now() + *ParseDuration(a[0]));
        } else if (v == "call") {
            return Call(a, why);
        } else if (v == "hangup" || v == "take" || v == "decline" || v == "listen" ||
                   v == "pickup") {
            return Decide(v, a, why);
        } else if (v == "status") {
            const auto status = OnlineStatusNamed(a[1]);
            if (!status) {
                why = "status is one of offline, online, away, na, dnd";
                return false;
            }
            world_->SetOnlineStatus(a[0], *status);
            app_->loop().ProcessPending();
        } else if (v == "presence") {
            const auto status = UserStatusNamed(a[0]);
            if (!status) {
                why = "presence is one of online, away, na, dnd, invisible, offline";
                return false;
            }
            world_->SetUserStatus(*status);
            app_->loop().ProcessPending();
        } else if (v == "attach") {
            if (!Attach(a[0], why)) {
                return false;
            }
            app_->loop().ProcessPending();
        } else if (v == "shot" || v == "open" || IsWindowVerb(v)) {
            app_->loop().ProcessPending();
            if (options_.guiVerb && !options_.guiVerb(step, why)) {
                return false;
            }
        } else if (v == "partner-ready") {
            WaitForPartnerTones(step);
        }
        return true;
    }

    // call NAME from HANDLE [pstn|video]
    bool Call(const std::vector<std::string>& a, std::string& why) {
        if (names_.count(a[0]) != 0) {
            why = "call name '" + a[0] + "' is taken";
            return false;
        }
        skype::sim::CallOptions options;
        if (a.size() > 3) {
            if (a[3] != "pstn" && a[3] != "video") {
                why = "write pstn or video after the handle";
                return false;
            }
            if (a[3] == "pstn") {
                options.type = skype::CallType::IncomingPstn;
            } else {
                options.videoSend = skype::VideoStatus::Running;
                options.videoReceive = skype::VideoStatus::Running;
            }
        }
        names_[a[0]] = world_->IncomingCall(a[2], options);
        order_.push_back(a[0]);
        app_->loop().ProcessPending();
        return true;
    }

    // hangup NAME, or take|decline|listen|pickup NAME [after TIME]: listen and pickup press
    // the panel that shows while the machine records (after TIME: from when it shows so)
    bool Decide(const std::string& v, const std::vector<std::string>& a, std::string& why) {
        const auto found = names_.find(a[0]);
        if (found == names_.end()) {
            why = "no call named '" + a[0] + "'";
            return false;
        }
        if (v == "hangup") {
            world_->CallerHangsUp(found->second);
            app_->loop().ProcessPending();
            return true;
        }
        calls::ScriptedAnsweringPanels::Rule rule;
        rule.callId = found->second;
        using Action = calls::ScriptedAnsweringPanels::Action;
        rule.action = v == "take"     ? Action::Take
                      : v == "listen" ? Action::Listen
                      : v == "pickup" ? Action::PickUp
                                      : Action::Decline;
        if (a.size() == 3 && a[1] == "after" && ParseDuration(a[2])) {
            rule.afterShown = ParseDuration(a[2]);
        } else if (a.size() == 1) {
            rule.at = clock_.Now();
        } else {
            why = "write: " + v + " NAME [after TIME]";
            return false;
        }
        panels_->AddRule(rule);
        return true;
    }

    // The partner tones the user owns are downloaded and one of them is the standard tone,
    // or the time given has passed.
    void WaitForPartnerTones(const Step& step) {
        const auto limit = step.args.empty() ? Millis(60000) : *ParseDuration(step.args[0]);
        RunUntil([&] { return PartnerReady(); }, limit);
        if (!PartnerReady()) {
            report_.problems.push_back("line " + std::to_string(step.line) +
                                       ": the partner tones were not ready in time");
        }
    }

    bool PartnerReady() {
        const auto tones = app_->partner().Tones();
        if (tones.empty()) {
            return false;
        }
        for (const auto& tone : tones) {
            if (!tone.downloaded && !tone.failed) {
                return false;
            }
        }
        return app_->userSettings().StandardTone() == 2;
    }

    bool Attach(const std::string& what, std::string& why) {
        if (what == "signout") {
            world_->SignOut();
        } else if (what == "signin") {
            world_->SignIn();
        } else if (what == "running") {
            world_->StartSkype();
        } else if (what == "notrunning" || what == "exit") {
            world_->ExitSkype();
        } else if (what == "available") {
            world_->BroadcastAttachmentStatus(skype::AttachmentStatus::Available);
        } else if (what == "pending") {
            world_->BroadcastAttachmentStatus(skype::AttachmentStatus::PendingAuthorization);
        } else if (what == "refused") {
            world_->UserRefuses();
        } else if (what == "granted") {
            world_->UserGrants();
        } else {
            why = kAttachWords;
            return false;
        }
        return true;
    }

    // --- the end ---

    void End() {
        for (const auto& [name, id] : names_) {
            if (!calls::IsCallOver(world_->CallSnapshot(id).status)) {
                report_.problems.push_back("call " + name + " still on at the end: hung up");
                world_->CallerHangsUp(id);
            }
        }
        app_->loop().ProcessPending();
        RunUntil([&] { return app_->state().ActiveCallIds.size() == 0; }, kEndWait);
        report_.endedAt = clock_.Now() - start_;
        // The tray's Quit: the main window goes, releasing Skype and saving the setting file.
        app_->Quit();
        app_->Run();
        app_->Shutdown();
    }

    // After an interrupt: the program quits on its own (calls still on are its to end),
    // and the report shows the state it left.
    void EndEarly() {
        report_.interrupted = true;
        report_.endedAt = clock_.Now() - start_;
        app_->Quit();
        app_->Run();
        app_->Shutdown();
        // The loop has quit: this only waits for the call handlers to let their calls go.
        app_->loop().RunUntil([&] { return app_->state().ActiveCallIds.size() == 0; },
                              kInterruptedEndWait);
    }

    void Collect() {
        const auto stories = panels_->Stories();
        for (const std::string& name : order_) {
            const int32_t id = names_[name];
            const skype::sim::CallInfo info = world_->CallSnapshot(id);
            CallReport call;
            call.name = name;
            call.handle = info.partnerHandle;
            call.id = id;
            call.type = info.type == skype::CallType::IncomingPstn ? "telephone" : "skype";
            for (auto segment : info.heard) {
                segment.start -= start_;
                segment.end -= start_;
                call.heard.push_back(segment);
            }
            call.longestGap = skype::sim::LongestGap(info.heard);
            for (CallStatus status : info.statusHistory) {
                call.statuses.push_back(skype::ToInt(status));
            }
            const calls::ScriptedAnsweringPanels::PanelStory* story = nullptr;
            for (const auto& each : stories) {
                if (each.callId == id) {
                    story = &each;
                }
            }
            if (story && story->shownAt) {
                call.panelShownAt = *story->shownAt - start_;
            }
            if (story && story->pressedAt) {
                call.decidedAt = *story->pressedAt - start_;
            }
            AddScreening(info, story, call);
            call.ending = Ending(info, story);
            {
                std::lock_guard guard(ruleMutex_);
                if (const auto rule = decidedRules_.find(id); rule != decidedRules_.end()) {
                    call.rule = rule->second;
                }
            }
            for (const auto& file : info.recordings) {
                report_.recordings.push_back({file.string(), 0, skype::sim::WavFileDuration(file)});
            }
            report_.calls.push_back(std::move(call));
        }
        for (const auto& chat : world_->ChatMessages()) {
            report_.chats.push_back("at " + std::to_string((chat.at - start_).count()) + " ms to " +
                                    chat.handle + ": " + chat.text);
        }
        report_.missedCalls = app_->missedCalls().Snapshot();
        for (const auto& tone : app_->partner().Tones()) {
            report_.partnerTones.push_back(
                {tone.key, tone.title, tone.localPath, tone.downloaded, tone.failed});
        }
        report_.standardTone = app_->userSettings().StandardTone();
        report_.partnerToneKey = platform::Utf16ToUtf8(app_->userSettings().PartnerToneKey());
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(options_.dataDir, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file()) {
                FileReport file{it->path().string(), it->file_size(), std::nullopt};
                if (it->path().extension() == ".wav") {
                    file.wavLength = skype::sim::WavFileDuration(it->path());
                }
                report_.files.push_back(file);
            }
        }
        for (auto& recording : report_.recordings) {
            recording.bytes = std::filesystem::file_size(recording.path, ec);
        }
        report_.dataDir = options_.dataDir.string();
    }

    // What the user did while the machine recorded the call, from the start.
    void AddScreening(const skype::sim::CallInfo& info,
                      const calls::ScriptedAnsweringPanels::PanelStory* story,
                      CallReport& call) const {
        if (story && story->screenedAt) {
            call.screenedAt = *story->screenedAt - start_;
        }
        if (story && story->pickedUpAt) {
            call.pickedUpAt = *story->pickedUpAt - start_;
        }
        for (auto segment : info.localOutput) {
            segment.start -= start_;
            segment.end -= start_;
            call.localOutput.push_back(segment);
        }
    }

    static std::string Ending(const skype::sim::CallInfo& info,
                              const calls::ScriptedAnsweringPanels::PanelStory* story) {
        if (info.type == skype::CallType::IncomingPstn) {
            return "not handled (telephone network)";
        }
        if (story && story->pickedUpAt && !info.recordings.empty()) {
            return "answering machine, picked up by the user";
        }
        if (story && story->pressedAt && story->decision == 1) {
            return "taken by the user";
        }
        if (story && story->pressedAt && story->decision == 2) {
            // With a busy greeting the machine answers a declined call.
            return info.recordings.empty()
                       ? "declined by the user"
                       : "declined by the user: busy greeting, message recorded";
        }
        if (!info.recordings.empty()) {
            return "answering machine, message recorded";
        }
        if (!info.heard.empty() && info.heard.back().file.find("DefaultAM") != std::string::npos) {
            return "answering machine, caller hung up during the greeting";
        }
        if (!info.heard.empty() && info.heard.back().file.find("DingDong") != std::string::npos) {
            return "answering machine, caller hung up during the tone";
        }
        if (info.answers == 0) {
            return "not handled";
        }
        return "missed (caller hung up)";
    }

    platform::Clock& clock_;
    RunOptions options_;
    Report& report_;
    // Declared before the program, which uses them to its end.
    std::shared_ptr<skype::sim::SimWorld> world_ = skype::sim::SimWorld::Create(clock_);
    std::unique_ptr<DevServer> devServer_;
    std::unique_ptr<app::Application> app_;
    std::mutex appMutex_;  // app_'s creation against an interrupt from another thread
    calls::ScriptedAnsweringPanels* panels_ = nullptr;  // owned by the program
    std::vector<std::function<void()>> pending_;
    // The scenario's rules and catalogue tones (by the file name the scenario gives).
    rules::RuleList rules_;
    std::set<std::string> toneFiles_;
    std::map<std::string, int32_t> toneIds_;
    // Which rule decided each call (by call id), as the call handlers report it.
    std::mutex ruleMutex_;
    std::map<int32_t, std::string> decidedRules_;
    std::optional<server::LinkSettings> server_;
    int32_t language_ = 3;
    bool signIn_ = true;
    Millis start_{0};
    std::map<std::string, int32_t> names_;
    std::vector<std::string> order_;
};

}  // namespace

// The handler runs under the lock, so that SetHandler({}) returns only once no call of
// the old handler is under way.
void Interrupt::Request() {
    std::lock_guard guard(mutex_);
    requested_ = true;
    if (onRequest_) {
        onRequest_();
    }
}

bool Interrupt::Requested() const {
    std::lock_guard guard(mutex_);
    return requested_;
}

void Interrupt::SetHandler(std::function<void()> onRequest) {
    std::lock_guard guard(mutex_);
    onRequest_ = std::move(onRequest);
    if (requested_ && onRequest_) {
        onRequest_();
    }
}

// The wall time the virtual clock starts at: `start YYYY-MM-DD HH:MM` in the local time
// zone, else a fixed moment, so that runs repeat.
platform::WallTime StartOfScenario(const std::vector<Step>& steps) {
    const platform::WallTime fixed{std::chrono::seconds(1'800'000'000)};
    for (const Step& step : steps) {
        if (step.verb != "start") {
            continue;
        }
        int year = 0, month = 0, day = 0, hour = 0, minute = 0;
        if (std::sscanf(step.args[0].c_str(), "%d-%d-%d", &year, &month, &day) != 3 ||
            std::sscanf(step.args[1].c_str(), "%d:%d", &hour, &minute) != 2) {
            return fixed;
        }
        return rules::FromCivilTime(year, month, day, hour * 60 + minute).value_or(fixed);
    }
    return fixed;
}

bool RunScenario(const std::vector<Step>& steps, const RunOptions& options, Report& report,
                 std::string& error) {
    std::unique_ptr<platform::Clock> clock;
    if (options.realTime) {
        clock = std::make_unique<platform::RealClock>();
    } else {
        clock = std::make_unique<platform::VirtualClock>(true, StartOfScenario(steps));
    }
    bool ok = false;
    {
        Runner runner(*clock, options, report);
        ok = runner.Run(steps, error);
    }
    return ok;
}

}  // namespace velto::scenario
