#pragma once

// A simulated Skype world with everything a call handler needs, on a virtual clock.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/SimObjects.h"
#include "backends/sim/SimWav.h"
#include "backends/sim/SimWorld.h"
#include "calls/CallHandler.h"
#include "calls/CallServices.h"
#include "calls/LocalRinger.h"
#include "calls/MissedCallList.h"
#include "calls/ScriptedAnsweringPanels.h"
#include "core/SharedState.h"
#include "core/UserSettings.h"
#include "platform/InterfaceTable.h"
#include "platform/MessageLoop.h"
#include "platform/SoundOutput.h"
#include "platform/VirtualClock.h"
#include "platform/Workers.h"
#include "support/RealTimeLimit.h"
#include "support/RecordingSoundOutput.h"
#include "support/TempDir.h"

namespace velto::calls::test {

using platform::Millis;
using namespace std::chrono_literals;

// A silent 16-bit mono 16000 Hz WAV file of `ms` milliseconds.
inline void WriteTone(const std::filesystem::path& path, int ms) {
    std::filesystem::create_directories(path.parent_path());
    skype::sim::WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    std::vector<int16_t> samples(static_cast<size_t>(ms) * 16, 100);
    ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
    ASSERT_TRUE(writer.Finish());
}

struct CallWorld {
    // First member: it also covers the joins when the world ends.
    velto::test::RealTimeLimit limit{std::chrono::seconds(30), "CallWorld"};
    platform::VirtualClock clock;
    velto::test::TempDir dir;
    std::filesystem::path install = dir / "install";
    std::filesystem::path data = dir / "data";
    std::filesystem::path own = data / "velto.user";
    std::shared_ptr<skype::sim::SimWorld> world = skype::sim::SimWorld::Create(clock);
    platform::MessageLoop loop{clock};
    platform::InterfaceTable table;
    platform::Workers workers{clock};
    core::SharedState shared;
    core::UserSettings settings;
    MissedCallList missed{[this] { return std::optional(own); }};
    ScriptedAnsweringPanels panels{clock};
    // What the user heard locally (the ring), as the simulator records what callers hear.
    std::unique_ptr<velto::test::RecordingSoundOutput> output =
        std::make_unique<velto::test::RecordingSoundOutput>(clock);
    LocalRinger ringer{*output};
    std::map<std::string, PartnerToneFile> partnerTones;
    CallServices services{clock,
                          workers,
                          table,
                          shared,
                          settings,
                          missed,
                          panels,
                          ringer,
                          [this] { return std::optional(own); },
                          [this](const std::string& key) -> std::optional<PartnerToneFile> {
                              auto found = partnerTones.find(key);
                              if (found == partnerTones.end()) {
                                  return std::nullopt;
                              }
                              return found->second;
                          }};
    std::shared_ptr<skype::Skype> skype;

    CallWorld() {
        WriteTone(install / "default.wav", 1000);
        WriteTone(install / "Ringing.wav", 700);
        WriteTone(install / "DingDong.wav", 500);
        WriteTone(install / "DefaultAM_Ch.wav", 2000);
        WriteTone(install / "DefaultAM_Eng.wav", 3000);
        WriteTone(own / "StdRbtCustom.wav", 1300);
        std::filesystem::create_directories(own);
        shared.InstallDirPath.Set(install.string());
        shared.UserDataDir.Set(data.string());
        shared.MyHandle.Set("velto.user");
        shared.CurrentLanguage = 3;
        shared.FriendMsgEnabled = true;
        settings.ResetToDefaults(install.string());
        world->SetCurrentUser("velto.user", "Vera Velto", "Vera");
        world->SignIn();
        world->AddContact({"alice", "Alice A", "Alice", skype::OnlineStatus::Online, false});
        world->AddContact({"bob", "Bob B", "Bob", skype::OnlineStatus::Online, false});
        skype = world->CreateSkype(loop);
        skype->Attach(skype::kAttachProtocol, false);
        loop.ProcessPending();
        shared.SkypeCookie = skype->RegisterIn(table);
    }

    ~CallWorld() { workers.JoinAll(); }

    // A call from `handle` arrives and gets its handler, as the event dispatch does it.
    int32_t Ring(const std::string& handle, skype::sim::CallOptions options = {}) {
        const int32_t id = world->IncomingCall(handle, options);
        auto call = std::make_shared<skype::sim::SimCall>(world, id);
        EXPECT_TRUE(shared.ActiveCallIds.Insert(id));
        StartCallHandler(services, call->RegisterIn(table));
        return id;
    }

    void At(Millis when) { clock.SleepUntil(when); }
    void After(Millis span) { clock.SleepFor(span); }
    void Finish() { workers.JoinAll(); }

    skype::sim::CallInfo Info(int32_t id) const { return world->CallSnapshot(id); }

    // Every call must have heard its tone without a gap above 1 ms.
    void ExpectNoToneGap(int32_t id) const {
        auto info = Info(id);
        std::vector<skype::sim::HeardSegment> tone;
        for (const auto& segment : info.heard) {
            if (segment.file.find("DefaultAM") == std::string::npos &&
                segment.file.find("DingDong") == std::string::npos &&
                segment.file.find("AnswerMachine") == std::string::npos) {
                tone.push_back(segment);
            }
        }
        EXPECT_LE(skype::sim::LongestGap(tone).count(), 1) << "call " << id;
    }
};

}  // namespace velto::calls::test
