// The partner service through its real adapters: the server link against a loopback frame
// server, libcurl against the development HTTP server, the settings store, the registry
// and the telephone-rate converter.
#include "partner/PartnerStack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "DevHttpServer.h"
#include "core/RegistryOptions.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/FrameTestServer.h"
#include "support/TempDir.h"

namespace velto::partner {
namespace {

using platform::Millis;
using platform::RegRoot;
using velto::test::FrameTestServer;
using velto::test::ReadFileBytes;

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string Le(uint32_t value, int size) {
    std::string out;
    for (int i = 0; i < size; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

// A canonical 16-bit PCM WAV file: one second of stereo at 44100 samples per second.
std::string StereoWav() {
    const uint32_t rate = 44100, channels = 2, frames = 44100;
    const uint32_t dataBytes = frames * channels * 2;
    std::string wav = "RIFF" + Le(36 + dataBytes, 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) +
                      Le(channels, 2) + Le(rate, 4) + Le(rate * channels * 2, 4) +
                      Le(channels * 2, 2) + Le(16, 2) + "data" + Le(dataBytes, 4);
    for (uint32_t i = 0; i < frames * channels; ++i) {
        wav += Le(i % 2000, 2);
    }
    return wav;
}

std::string ListEntry(const std::string& key, const std::string& remote, const std::string& prefix,
                      const std::string& title) {
    return key + '\0' + remote + '\0' + prefix + '\0' + title + '\0' + "x" + '\0';
}

class NoOptions final : public core::RegistryOptions {
  public:
    void SetAutoStart(bool) override {}
    void SetAutoUpdate(bool) override {}
    void SetFriendMsg(bool) override {}
};

class PartnerStackTest : public ::testing::Test {
  protected:
    PartnerStackTest() {
        shared.UserDataDir.Set(dir.path().string());
        shared.InstallDirPath.Set("/opt/velto");
        shared.MyHandle.Set("alice");
        shared.SkypeAttached = true;
        shared.CurrentLanguage = 1;
        EXPECT_TRUE(http.Start("127.0.0.1", 0));
        prefix = "http://127.0.0.1:" + std::to_string(http.port()) + "/tones/";
        frames.SetDefault({FrameTestServer::Behaviour::Answer, std::vector<uint8_t>{1}});
    }
    ~PartnerStackTest() override { partnerWorkers.JoinAll(); }

    std::filesystem::path TonePath(const std::string& key) const {
        return dir.path() / "alice" / "QuorinRingTone" / key;
    }

    platform::TraceCapture trace;
    velto::test::TempDir dir;
    platform::VirtualClock clock;
    platform::Workers linkWorkers{clock};
    platform::Workers partnerWorkers{clock};
    core::SharedState shared;
    FrameTestServer frames;
    devserver::DevHttpServer http;
    std::string prefix;
    server::ServerCommunicationInstance link{
        clock, linkWorkers, server::LinkSettings{.host = "127.0.0.1", .port = frames.port()}};
    platform::Registry registry{{dir / "user.reg", dir / "machine.reg", std::nullopt}};
    core::UserSettings settings{"/opt/velto"};
    NoOptions options;
    core::SettingFileStore store{shared, settings, options};
    PartnerStack stack{{clock, partnerWorkers, shared, link, settings, store, registry}};
};

TEST_F(PartnerStackTest, OwnedTonesAreDownloadedConvertedAndTheFirstIsChosen) {
    http.AddFile("/tones/one.wav", "junk before the tone" + StereoWav());
    http.AddFile("/tones/two.wav", StereoWav());
    const std::string list = std::string(1, '\1') + ListEntry("t1", "one.wav", prefix, "Tōne Ä") +
                             ListEntry("../x", "evil.wav", prefix, "Evil") +
                             ListEntry("t2", "two.wav", prefix, "Second");
    frames.Script({FrameTestServer::Behaviour::Answer, Bytes(list)});

    stack.service().OnSkypeAttached();
    partnerWorkers.JoinAll();

    // Asked once for alice; the hostile entry was left out and the others kept.
    const auto requests = frames.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], Bytes(std::string("\x03"
                                             "alice") +
                                 '\0'));
    std::vector<std::vector<uint8_t>> reports(requests.begin() + 1, requests.end());
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports[0], Bytes(std::string("\x07t1\0alice\0one.wav\0", 18)));
    EXPECT_EQ(reports[1], Bytes(std::string("\x07t2\0alice\0two.wav\0", 18)));
    EXPECT_TRUE(trace.Contains("not a plain file name"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));

    // Both tones are telephone-rate WAV files, with nothing of the download left over.
    for (const char* key : {"t1", "t2"}) {
        const std::string tone = ReadFileBytes(TonePath(key));
        ASSERT_GT(tone.size(), 44u) << key;
        EXPECT_EQ(tone.substr(0, 4), "RIFF");
        EXPECT_EQ(tone.substr(22, 2), Le(1, 2));
        EXPECT_EQ(tone.substr(24, 4), Le(16000, 4));
        EXPECT_EQ(tone.size(), 44u + 16000 * 2);
        EXPECT_FALSE(std::filesystem::exists(TonePath(key).string() + ".tmp"));
        EXPECT_FALSE(std::filesystem::exists(TonePath(key).string() + ".tran"));
    }

    // Entered into the tone catalogue; the first of the list is the standard tone.
    std::map<std::u16string, std::u16string> titles;
    for (const auto& [id, tone] : settings.Catalogue()) {
        titles[tone.path] = tone.title;
    }
    EXPECT_EQ(titles[platform::Utf8ToUtf16(TonePath("t1").string())], u"Tōne Ä");
    EXPECT_EQ(titles[platform::Utf8ToUtf16(TonePath("t2").string())], u"Second");
    EXPECT_EQ(settings.StandardTone(), 2);
    EXPECT_EQ(settings.PartnerToneKey(), u"t1");
    PartnerTone found;
    ASSERT_TRUE(stack.service().Find("t1", found));
    EXPECT_TRUE(found.downloaded);
    EXPECT_EQ(settings.FindTone(found.catalogueItem)->title, u"Tōne Ä");

    // The choice is on disk, and the user is marked as an owner of partner tones.
    core::UserSettings reread{"/opt/velto"};
    core::SettingFileStore rereadStore{shared, reread, options};
    rereadStore.LoadSettingFile();
    EXPECT_EQ(reread.StandardTone(), 2);
    EXPECT_EQ(reread.PartnerToneKey(), u"t1");
    uint32_t marker = 0;
    ASSERT_EQ(
        registry.QueryDword(RegRoot::CurrentUser, "Software\\Velto", "HasQuorinRingTone", marker),
        platform::RegError::Ok);
    EXPECT_EQ(marker, 0xFFFFFFFFu);
}

TEST_F(PartnerStackTest, RefusedOrMissingAnswersCountAsNoAnswer) {
    // An entry cut short spoils the whole list.
    settings.SetStandardTone(2);
    frames.Script({FrameTestServer::Behaviour::Answer, Bytes(std::string("\1k\0r.wav", 8))});
    stack.service().OnSkypeAttached();
    partnerWorkers.JoinAll();
    EXPECT_TRUE(trace.Contains("refused answer"));
    EXPECT_EQ(settings.StandardTone(), 0);
    EXPECT_FALSE(stack.service().HasAnyTone());

    // A server that is down: the query is given up after ten seconds.
    frames.Stop();
    settings.SetStandardTone(2);
    settings.SetOwnToneSource(u"/music/mine.mp3");
    const Millis start = clock.Now();
    stack.service().OnSkypeAttached();
    partnerWorkers.JoinAll();
    EXPECT_GE(clock.Now() - start, Millis(10'000));
    EXPECT_TRUE(trace.Contains("no answer to the tone query (timed out)"));
    EXPECT_EQ(settings.StandardTone(), 1);  // fell back to the user's own tone
}

TEST_F(PartnerStackTest, MarkerOfAnyTypeCountsAndAnExistingLegalToneIsKept) {
    RegistryPartnerMarker marker(registry);
    EXPECT_FALSE(marker.Exists());
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, "Software\\Velto"), platform::RegError::Ok);
    ASSERT_EQ(registry.SetString(RegRoot::CurrentUser, "Software\\Velto", "hasquorinringtone", ""),
              platform::RegError::Ok);
    EXPECT_TRUE(marker.Exists());

    // Language 3, but a known owner: the attachment asks, and a tone already on disk and in
    // the catalogue under the same title and path is not fetched again.
    shared.CurrentLanguage = 3;
    std::filesystem::create_directories(TonePath("t1").parent_path());
    velto::test::WriteFileBytes(TonePath("t1"), StereoWav());
    UserPartnerSettings adapter(settings, store);
    const auto id = adapter.AddCatalogueTone("Ä", TonePath("t1").string());
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(adapter.FindCatalogueTone("Ä", TonePath("t1").string()), id);
    // Leaving a partner tone that is no longer the chosen one keeps the newer choice.
    adapter.ChoosePartnerTone("t1");
    adapter.LeavePartnerTone("old");
    EXPECT_EQ(settings.StandardTone(), 2);
    adapter.LeavePartnerTone("t1");
    EXPECT_EQ(settings.StandardTone(), 0);
    frames.Script({FrameTestServer::Behaviour::Answer,
                   Bytes(std::string(1, '\1') + ListEntry("t1", "one.wav", prefix, "Ä"))});
    stack.service().OnSkypeAttached();
    partnerWorkers.JoinAll();
    EXPECT_EQ(frames.RequestCount(), 1u);
    EXPECT_TRUE(http.hits().empty());
    PartnerTone found;
    ASSERT_TRUE(stack.service().Find("t1", found));
    EXPECT_EQ(found.catalogueItem, *id);
}

}  // namespace
}  // namespace velto::partner
