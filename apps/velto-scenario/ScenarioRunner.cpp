#include "velto-scenario/ScenarioRunner.h"

#include <stdlib.h>

#include <map>
#include <memory>

#include "calls/CallEnd.h"
#include "calls/CallHandler.h"
#include "calls/LocalRinger.h"
#include "calls/MissedCallList.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "platform/InterfaceTable.h"
#include "platform/MessageLoop.h"
#include "platform/SoundOutput.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "platform/Workers.h"
#include "skype/api/Skype.h"
#include "skype/sim/SimWav.h"
#include "skype/sim/SimWorld.h"

namespace velto::scenario {
namespace {

using platform::Millis;
using skype::CallStatus;

// Hands each new call to its own call handler, as the program's event dispatch does.
class CallDispatch final : public skype::EventSink {
  public:
    CallDispatch(calls::CallServices& services) : services_(services) {}
    int32_t SinkId() const override { return 1; }
    void OnEvent(const skype::Event& event) override {
        if (event.id != skype::EventId::CallStatus) {
            return;
        }
        const auto call = event.Object<skype::Call>(0);
        const auto status = static_cast<CallStatus>(event.Int(1));
        const skype::CallType type = call->Type();
        if (type == skype::CallType::Unknown || type == skype::CallType::IncomingPstn) {
            return;
        }
        if (status == CallStatus::Failed || status == CallStatus::Finished ||
            status == CallStatus::Missed || status == CallStatus::Refused) {
            return;
        }
        if (!services_.shared.ActiveCallIds.Insert(call->Id())) {
            return;
        }
        calls::StartCallHandler(services_, call->RegisterIn(services_.table));
    }

  private:
    calls::CallServices& services_;
};

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

std::optional<bool> OnOff(const std::string& word) {
    if (word == "on") {
        return true;
    }
    if (word == "off") {
        return false;
    }
    return std::nullopt;
}

class Runner {
  public:
    Runner(platform::Clock& clock, const RunOptions& options, Report& report)
        : clock_(clock), options_(options), report_(report) {
        shared_.InstallDirPath.Set(options.installDir.string());
        shared_.UserDataDir.Set(options.dataDir.string());
        shared_.CurrentLanguage = 3;
        shared_.FriendMsgEnabled = true;
        settings_.ResetToDefaults(options.installDir.string());
    }

    ~Runner() { workers_.JoinAll(); }

    bool Run(const std::vector<Step>& steps, std::string& error) {
        for (const Step& step : steps) {
            std::string why;
            if (!Do(step, why)) {
                error = "line " + std::to_string(step.line) + ": " + why;
                return false;
            }
        }
        if (!started_) {
            Start();
        }
        End();
        Collect();
        return true;
    }

  private:
    std::optional<std::filesystem::path> OwnFolder() const {
        const std::string handle = shared_.MyHandle.Get();
        if (handle.empty() || handle.find('/') != std::string::npos || handle == "." ||
            handle == "..") {
            return std::nullopt;
        }
        return options_.dataDir / handle;
    }

    void Start() {
        started_ = true;
        world_->SignIn();
        skype_ = world_->CreateSkype(loop_);
        skype_->Advise(dispatch_);
        skype_->Attach(skype::kAttachProtocol, false);
        loop_.RunUntil(
            [&] { return skype_->AttachmentStatus() == skype::AttachmentStatus::Success; },
            Millis(1000));
        shared_.SkypeCookie = skype_->RegisterIn(table_);
        shared_.MyHandle.Set(skype_->CurrentUserHandle());
        if (const auto own = OwnFolder()) {
            std::filesystem::create_directories(*own);
        }
        missed_.Load();
        start_ = clock_.Now();
    }

    void WaitUntil(Millis when) {
        while (clock_.Now() < when) {
            loop_.RunUntil([&] { return clock_.Now() >= when; }, when - clock_.Now(),
                           when - clock_.Now());
        }
        loop_.ProcessPending();
    }

    bool Do(const Step& step, std::string& why) {
        const auto& a = step.args;
        const std::string& v = step.verb;
        const auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
        if (v == "user") {
            world_->SetCurrentUser(a[0], arg(1), a.size() > 2 ? a[2] : arg(1));
        } else if (v == "contact") {
            world_->AddContact(
                {a[0], arg(1), a.size() > 2 ? a[2] : arg(1), skype::OnlineStatus::Online, false});
        } else if (v == "skype-version") {
            world_->SetVersion(a[0]);
        } else if (v == "voicemail" || v == "friendmsg") {
            const auto on = OnOff(a[0]);
            if (!on) {
                why = "write on or off";
                return false;
            }
            v == "voicemail" ? settings_.SetVoiceMailOn(*on) : shared_.FriendMsgEnabled.store(*on);
        } else if (v == "language" || v == "standard") {
            const int value = std::atoi(a[0].c_str());
            if (v == "language") {
                shared_.CurrentLanguage = value;
            } else {
                settings_.SetStandardTone(value);
            }
        } else if (v == "ringback") {
            settings_.SetRingBack(
                a[0], {std::atoi(a[1].c_str()), a.size() > 2 ? std::atoi(a[2].c_str()) : -1,
                       a.size() > 3 ? std::atoi(a[3].c_str()) : -1});
        } else if (v == "tone") {
            const std::filesystem::path file = std::filesystem::absolute(a[1]);
            const auto id = settings_.InsertTone(
                {platform::Utf8ToUtf16(a.size() > 2 ? a[2] : file.stem().string()),
                 platform::Utf8ToUtf16(file.string())});
            settings_.SetRingBack(a[0], {3, id.value_or(-1), -1});
        } else {
            if (!started_) {
                Start();
            }
            return DoTimed(step, why);
        }
        return true;
    }

    bool DoTimed(const Step& step, std::string& why) {
        const auto& a = step.args;
        const std::string& v = step.verb;
        if (v == "at") {
            WaitUntil(start_ + *ParseDuration(a[0]));
        } else if (v == "wait") {
            WaitUntil(clock_.Now() + *ParseDuration(a[0]));
        } else if (v == "call") {
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
            loop_.ProcessPending();
        } else if (v == "hangup" || v == "take" || v == "decline") {
            const auto found = names_.find(a[0]);
            if (found == names_.end()) {
                why = "no call named '" + a[0] + "'";
                return false;
            }
            if (v == "hangup") {
                world_->CallerHangsUp(found->second);
                loop_.ProcessPending();
                return true;
            }
            calls::ScriptedAnsweringPanels::Rule rule;
            rule.callId = found->second;
            rule.action = v == "take" ? calls::ScriptedAnsweringPanels::Action::Take
                                      : calls::ScriptedAnsweringPanels::Action::Decline;
            if (a.size() == 3 && a[1] == "after" && ParseDuration(a[2])) {
                rule.afterShown = ParseDuration(a[2]);
            } else if (a.size() == 1) {
                rule.at = clock_.Now();
            } else {
                why = "write: " + v + " NAME [after TIME]";
                return false;
            }
            panels_.AddRule(rule);
        } else if (v == "status") {
            const auto status = OnlineStatusNamed(a[1]);
            if (!status) {
                why = "status is one of offline, online, away, na, dnd";
                return false;
            }
            world_->SetOnlineStatus(a[0], *status);
            loop_.ProcessPending();
        } else if (v == "attach") {
            if (a[0] == "signout") {
                world_->SignOut();
            } else if (a[0] == "signin") {
                world_->SignIn();
            } else {
                why = "attach signin or signout";
                return false;
            }
            loop_.ProcessPending();
        }
        return true;
    }

    void End() {
        for (const auto& [name, id] : names_) {
            if (!calls::IsCallOver(world_->CallSnapshot(id).status)) {
                report_.problems.push_back("call " + name + " still on at the end: hung up");
                world_->CallerHangsUp(id);
            }
        }
        loop_.ProcessPending();
        loop_.RunUntil([&] { return shared_.ActiveCallIds.size() == 0; }, Millis(24 * 3600 * 1000),
                       Millis(100));
        workers_.JoinAll();
        loop_.ProcessPending();
        report_.endedAt = clock_.Now() - start_;
        skype_->Unadvise(dispatch_);
    }

    void Collect() {
        const auto stories = panels_.Stories();
        const auto records = missed_.Snapshot();
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
            if (info.type == skype::CallType::IncomingPstn) {
                call.ending = "not handled (telephone network)";
            } else if (story && story->pressedAt && story->decision == 1) {
                call.ending = "taken by the user";
            } else if (story && story->pressedAt && story->decision == 2) {
                call.ending = "declined by the user";
            } else if (!info.recordings.empty()) {
                call.ending = "answering machine, message recorded";
            } else if (info.heard.size() > 0 &&
                       info.heard.back().file.find("DefaultAM") != std::string::npos) {
                call.ending = "answering machine, caller hung up during the greeting";
            } else if (info.heard.size() > 0 &&
                       info.heard.back().file.find("DingDong") != std::string::npos) {
                call.ending = "answering machine, caller hung up during the tone";
            } else {
                call.ending = "missed (caller hung up)";
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
        report_.missedCalls = records;
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

    platform::Clock& clock_;
    RunOptions options_;
    Report& report_;
    platform::MessageLoop loop_{clock_};
    platform::InterfaceTable table_;
    platform::Workers workers_{clock_};
    core::SharedState shared_;
    core::UserSettings settings_;
    calls::MissedCallList missed_{[this] { return OwnFolder(); }};
    calls::ScriptedAnsweringPanels panels_{clock_};
    std::unique_ptr<platform::SoundOutput> output_ = platform::CreateNullSoundOutput(clock_);
    calls::LocalRinger ringer_{*output_};
    calls::CallServices services_{clock_,  workers_,  table_,
                                  shared_, settings_, missed_,
                                  panels_, ringer_,   [this] { return OwnFolder(); },
                                  {}};
    CallDispatch dispatch_{services_};
    std::shared_ptr<skype::sim::SimWorld> world_ = skype::sim::SimWorld::Create(clock_);
    std::shared_ptr<skype::Skype> skype_;
    bool started_ = false;
    Millis start_{0};
    std::map<std::string, int32_t> names_;
    std::vector<std::string> order_;
};

}  // namespace

bool RunScenario(const std::vector<Step>& steps, const RunOptions& options, Report& report,
                 std::string& error) {
    std::unique_ptr<platform::Clock> clock;
    if (options.realTime) {
        clock = std::make_unique<platform::RealClock>();
    } else {
        clock = std::make_unique<platform::VirtualClock>();
    }
    bool ok = false;
    {
        Runner runner(*clock, options, report);
        ok = runner.Run(steps, error);
    }
    return ok;
}

}  // namespace velto::scenario
