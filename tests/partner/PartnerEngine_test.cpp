#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

#include "DevHttpServer.h"
#include "PartnerFakes.h"
#include "partner/CurlFetcher.h"
#include "partner/PartnerToneService.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::partner {
namespace {

using Outcome = PartnerServer::QueryResult::Outcome;
using platform::Millis;
using velto::test::ReadFileBytes;
using velto::test::WriteFileBytes;

std::string Wav(size_t size, char fill = 'w') {
    std::string bytes = "RIFF";
    bytes.resize(size, fill);
    return bytes;
}

class PartnerEngineTest : public ::testing::Test {
  protected:
    PartnerEngineTest() {
        shared.UserDataDir.Set(dir.path().string());
        shared.MyHandle.Set("alice");
        shared.SkypeAttached = true;
        shared.CurrentLanguage = 1;
        http.set_on_hit([this](const devserver::DevHttpServer::Hit& hit) {
            std::lock_guard guard(hitMutex);
            hitTimes.push_back({hit.range, clock.Now()});
        });
        EXPECT_TRUE(http.Start("127.0.0.1", 0));
        prefix = "http://127.0.0.1:" + std::to_string(http.port()) + "/tones/";
    }
    ~PartnerEngineTest() override { workers.JoinAll(); }

    std::filesystem::path TonePath(const std::string& key) const {
        return dir.path() / "alice" / "QuorinRingTone" / key;
    }
    void AnswerTones(std::vector<PartnerToneEntry> entries) {
        server.Answer({Outcome::Tones, std::move(entries)});
    }
    // Runs the engine and everything it starts to the end.
    void RunToEnd() {
        service.StartEngine();
        workers.JoinAll();
    }
    std::vector<std::pair<std::string, Millis>> Hits() {
        std::lock_guard guard(hitMutex);
        return hitTimes;
    }

    velto::test::TempDir dir;
    platform::VirtualClock clock;
    platform::Workers workers{clock};
    core::SharedState shared;
    test::FakePartnerServer server{clock};
    test::FakeSettings settings;
    test::FakeMarker marker;
    test::CopyConverter converter;
    CurlFetcher curl{clock};
    devserver::DevHttpServer http;
    std::string prefix;
    std::mutex hitMutex;
    std::vector<std::pair<std::string, Millis>> hitTimes;
    PartnerToneService service{{clock, workers, shared, server, settings, marker, converter, curl}};
};

TEST_F(PartnerEngineTest, RunsAtMostOnceInSixHoursUnlessForcedOrReset) {
    RunToEnd();
    EXPECT_EQ(server.handles(), std::vector<std::string>{"alice"});

    clock.Advance(Millis(21'600'000 - 1));
    RunToEnd();
    EXPECT_EQ(server.queries(), 1);

    service.ForceNextRun();
    RunToEnd();
    EXPECT_EQ(server.queries(), 2);

    service.ResetInterval();
    RunToEnd();
    EXPECT_EQ(server.queries(), 3);

    clock.Advance(Millis(21'600'000));
    RunToEnd();
    EXPECT_EQ(server.queries(), 4);
    EXPECT_FALSE(service.EngineRunning());
}

TEST_F(PartnerEngineTest, AttachmentStartsTheEngineOnlyForLanguageOneOrAKnownOwner) {
    shared.CurrentLanguage = 3;
    service.OnSkypeAttached();
    workers.JoinAll();
    service.StartEngine();  // not forced: another language and an empty catalogue
    workers.JoinAll();
    EXPECT_EQ(server.queries(), 0);

    marker.exists_ = true;
    service.OnSkypeAttached();
    workers.JoinAll();
    EXPECT_EQ(server.queries(), 1);

    marker.exists_ = false;
    shared.CurrentLanguage = 1;
    service.OnSkypeAttached();  // forced: the interval does not hold it back
    workers.JoinAll();
    EXPECT_EQ(server.queries(), 2);
}

TEST_F(PartnerEngineTest, NoTonesOrNoAnswerFallsBackFromThePartnerTone) {
    settings.Set(2, true, "gone");
    RunToEnd();  // first byte 0
    EXPECT_EQ(settings.StandardTone(), 1);

    settings.Set(2, false, "gone");
    service.ForceNextRun();
    RunToEnd();
    EXPECT_EQ(settings.StandardTone(), 0);

    // A server that does not answer within 10 s counts as no tones.
    settings.Set(2, false, "gone");
    server.NeverAnswer();
    const Millis start = clock.Now();
    service.ForceNextRun();
    RunToEnd();
    EXPECT_EQ(clock.Now() - start, Millis(10'000));
    EXPECT_EQ(settings.StandardTone(), 0);

    // Other settings are left alone.
    settings.Set(1, true, "gone");
    service.ForceNextRun();
    RunToEnd();
    EXPECT_EQ(settings.StandardTone(), 1);
}

TEST_F(PartnerEngineTest, ATonesAnswerWithoutTheChosenKeyFallsBackToo) {
    settings.Set(2, true, "old");
    http.AddFile("/tones/a.wav", Wav(1000));
    AnswerTones({test::Entry("a", prefix)});
    RunToEnd();
    // "a" is downloaded and, as the first of the list, chosen again.
    EXPECT_EQ(settings.ChosenPartnerKey(), "a");
    EXPECT_EQ(settings.StandardTone(), 2);
    EXPECT_TRUE(marker.exists_);
}

TEST_F(PartnerEngineTest, ExistingFileIsKeptOnlyWhenTheCatalogueKnowsIt) {
    std::filesystem::create_directories(TonePath("x").parent_path());
    WriteFileBytes(TonePath("legal"), Wav(10));
    WriteFileBytes(TonePath("stray"), "old bytes");
    const int32_t id = *settings.AddCatalogueTone("Legal tone", TonePath("legal").string());
    http.AddFile("/tones/stray.wav", Wav(5000, 's'));
    AnswerTones({test::Entry("legal", prefix, "Legal tone"), test::Entry("stray", prefix)});
    RunToEnd();

    PartnerTone legal;
    ASSERT_TRUE(service.Find("legal", legal));
    EXPECT_TRUE(legal.downloaded);
    EXPECT_EQ(legal.catalogueItem, id);
    EXPECT_EQ(legal.progress, 1.0);
    PartnerTone stray;
    ASSERT_TRUE(service.Find("stray", stray));
    EXPECT_TRUE(stray.downloaded);
    EXPECT_EQ(ReadFileBytes(TonePath("stray")), Wav(5000, 's'));
    ASSERT_EQ(http.hits().size(), 1u);
    EXPECT_EQ(http.hits()[0].path, "/tones/stray.wav");
}

TEST_F(PartnerEngineTest, ACutDownloadResumesAtItsByteTenSecondsLater) {
    const std::string tone = Wav(300'000, 'r');
    http.AddFile("/tones/t.wav", tone);
    http.faults().dropAfter = 100'000;
    http.faults().dropTimes = 1;
    AnswerTones({test::Entry("t", prefix)});
    RunToEnd();

    const auto hits = Hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].first, "");
    EXPECT_EQ(hits[0].second, Millis(0));
    EXPECT_EQ(hits[1].first, "bytes=100000-");
    EXPECT_EQ(hits[1].second, Millis(10'000));
    EXPECT_EQ(ReadFileBytes(TonePath("t")), tone);
    EXPECT_FALSE(std::filesystem::exists(TonePath("t.tmp")));
    EXPECT_FALSE(std::filesystem::exists(TonePath("t.tran")));
    ASSERT_EQ(server.reports().size(), 1u);
    EXPECT_TRUE(server.reports()[0].ok);
    EXPECT_EQ(server.reports()[0].remoteName, "t.wav");
    EXPECT_EQ(service.ActiveDownloads(), 0);
}

TEST_F(PartnerEngineTest, LeadingBytesBeforeRiffAreCut) {
    http.AddFile("/tones/p.wav", "garbage RIF" + Wav(70'000, 'p'));
    AnswerTones({test::Entry("p", prefix)});
    RunToEnd();
    EXPECT_EQ(ReadFileBytes(TonePath("p")), Wav(70'000, 'p'));
}

TEST_F(PartnerEngineTest, OnlyTheFirstOfTheListBecomesTheChosenTone) {
    http.AddFile("/tones/one.wav", Wav(100));
    http.AddFile("/tones/two.wav", Wav(200));
    AnswerTones({test::Entry("one", prefix, "One"), test::Entry("two", prefix, "Two")});
    RunToEnd();
    EXPECT_EQ(settings.ChosenPartnerKey(), "one");
    EXPECT_EQ(settings.StandardTone(), 2);
    const auto items = settings.catalogue();
    EXPECT_EQ(items.size(), 3u);  // the default tone and the two partner tones
    PartnerTone two;
    ASSERT_TRUE(service.Find("two", two));
    EXPECT_EQ(items.at(two.catalogueItem).first, "Two");
    EXPECT_EQ(items.at(two.catalogueItem).second, TonePath("two").string());
}

TEST_F(PartnerEngineTest, HostileNamesAreRefusedAndNothingLeavesTheToneFolder) {
    platform::TraceCapture trace;
    http.AddFile("/tones/ok.wav", Wav(100));
    PartnerToneEntry sneaky = test::Entry("ok2", prefix);
    sneaky.remoteName = "../../etc/passwd";
    PartnerToneEntry local = test::Entry("local", "file:///etc/");
    AnswerTones({test::Entry("../x", prefix), test::Entry("", prefix), sneaky, local,
                 test::Entry("ok", prefix)});
    RunToEnd();
    EXPECT_TRUE(trace.Contains("refused tone key"));
    EXPECT_TRUE(trace.Contains("refused remote file name"));
    EXPECT_TRUE(trace.Contains("refused address prefix"));
    PartnerTone tone;
    EXPECT_FALSE(service.Find("../x", tone));
    EXPECT_FALSE(service.Find("ok2", tone));
    EXPECT_TRUE(service.Find("ok", tone));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "alice" / "x"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "alice" / "x.tmp"));
    // The refused address reads nothing and is reported as a failed download.
    ASSERT_TRUE(service.Find("local", tone));
    EXPECT_TRUE(tone.failed);
}

TEST_F(PartnerEngineTest, ADownloadWithoutRiffFailsWithoutEndingTheProgram) {
    http.AddFile("/tones/n.wav", std::string(40'000, 'n'));
    AnswerTones({test::Entry("n", prefix)});
    RunToEnd();
    PartnerTone tone;
    ASSERT_TRUE(service.Find("n", tone));
    EXPECT_TRUE(tone.failed);
    EXPECT_FALSE(tone.downloaded);
    EXPECT_FALSE(tone.downloading);
    EXPECT_FALSE(std::filesystem::exists(TonePath("n.tmp")));
    EXPECT_FALSE(std::filesystem::exists(TonePath("n.tran")));
    EXPECT_FALSE(std::filesystem::exists(TonePath("n")));
    ASSERT_EQ(server.reports().size(), 1u);
    EXPECT_FALSE(server.reports()[0].ok);
    EXPECT_EQ(settings.catalogue().size(), 1u);
}

// A converter that fails with an exception (a file-system fault, say) ends the download as
// a failed one: reported, out of the running downloads, and its record free again.
TEST_F(PartnerEngineTest, AnUnexpectedErrorInADownloadEndsItAsAFailure) {
    struct ThrowingConverter final : ToneConverter {
        bool Convert(const std::filesystem::path& from, const std::filesystem::path&) override {
            throw std::filesystem::filesystem_error(
                "convert", from, std::make_error_code(std::errc::no_such_device));
        }
    } throwing;
    PartnerToneService failing{{clock, workers, shared, server, settings, marker, throwing, curl}};
    platform::TraceCapture trace;
    http.AddFile("/tones/t.wav", Wav(1000));
    AnswerTones({test::Entry("t", prefix)});
    failing.StartEngine();
    workers.JoinAll();
    EXPECT_TRUE(trace.Contains("Quorin download: ended by an unexpected error: "));
    PartnerTone tone;
    ASSERT_TRUE(failing.Find("t", tone));
    EXPECT_TRUE(tone.failed);
    EXPECT_FALSE(tone.downloading);
    EXPECT_EQ(failing.ActiveDownloads(), 0);
    ASSERT_EQ(server.reports().size(), 1u);
    EXPECT_FALSE(server.reports()[0].ok);
}

TEST_F(PartnerEngineTest, FiveFailedAttemptsAreReportedAndLeaveThePartialFile) {
    // A missing file, one without a length and one above the size bound (64 MiB) all fail
    // each attempt; every attempt is followed by the 10 s pause.
    platform::TraceCapture trace;
    http.AddSizedFile("/tones/huge.wav", 67108865);
    AnswerTones({test::Entry("missing", prefix), test::Entry("huge", prefix)});
    RunToEnd();
    EXPECT_TRUE(trace.Contains("Quorin download: refused length 67108865\n"));
    EXPECT_EQ(clock.Now(), Millis(50'000));
    EXPECT_EQ(http.hits().size(), 10u);
    ASSERT_EQ(server.reports().size(), 2u);
    EXPECT_FALSE(server.reports()[0].ok);
    EXPECT_FALSE(server.reports()[1].ok);
    EXPECT_EQ(ReadFileBytes(TonePath("huge.tmp")), "");
    PartnerTone huge;
    ASSERT_TRUE(service.Find("huge", huge));
    EXPECT_TRUE(huge.failed);
    EXPECT_EQ(service.ActiveDownloads(), 0);

    http.AddFile("/tones/chunked.wav", Wav(100));
    http.faults().noContentLength = true;
    AnswerTones({test::Entry("chunked", prefix)});
    service.ForceNextRun();
    RunToEnd();
    ASSERT_EQ(server.reports().size(), 3u);
    EXPECT_FALSE(server.reports()[2].ok);
}

// A tone of exactly 64 MiB is within the bound: fetched whole in one attempt (the bytes
// are no sound, so it fails only later, at the conversion).
TEST_F(PartnerEngineTest, ToneOfExactlyTheSizeBoundIsDownloaded) {
    platform::TraceCapture trace;
    http.AddSizedFile("/tones/edge.wav", 67108864);
    AnswerTones({test::Entry("edge", prefix)});
    RunToEnd();
    EXPECT_TRUE(trace.Contains("TotalLength=67108864\n")) << trace.Text().substr(0, 2000);
    EXPECT_FALSE(trace.Contains("refused length"));
    EXPECT_EQ(http.hits().size(), 1u);
}

// Quitting during a download ends it at once: no pause, no further attempt, and the
// download counts as failed.
TEST_F(PartnerEngineTest, QuittingEndsADownloadWithoutFurtherAttempts) {
    http.set_on_hit([this](const devserver::DevHttpServer::Hit&) { workers.stop().Request(); });
    AnswerTones({test::Entry("missing", prefix)});
    RunToEnd();
    EXPECT_EQ(clock.Now(), Millis(0));
    EXPECT_EQ(http.hits().size(), 1u);
    ASSERT_EQ(server.reports().size(), 1u);
    EXPECT_FALSE(server.reports()[0].ok);
    EXPECT_EQ(service.ActiveDownloads(), 0);
}

TEST_F(PartnerEngineTest, ARunningDownloadKeepsItsRecordAndIsNotStartedTwice) {
    test::GatedFetcher gated(curl);
    PartnerToneService gatedService{
        {clock, workers, shared, server, settings, marker, converter, gated}};
    http.AddFile("/tones/g.wav", Wav(50'000));
    AnswerTones({test::Entry("g", prefix)});
    struct ReleaseOnExit {  // also on a failed assertion: no thread outlives gatedService
        test::GatedFetcher& gate;
        platform::Workers& workers;
        ~ReleaseOnExit() {
            gate.Release();
            workers.JoinAll();
        }
    } releaseOnExit{gated, workers};
    auto waitForEngine = [&] {
        while (gatedService.EngineRunning()) {
            std::this_thread::yield();
        }
    };
    gatedService.StartEngine();
    gated.WaitUntilHeld(1);
    waitForEngine();
    EXPECT_EQ(gatedService.ActiveDownloads(), 1);

    // An attachment empties the catalogue and a new run finds the download still running.
    gatedService.OnSkypeAttached();
    waitForEngine();
    PartnerTone tone;
    ASSERT_TRUE(gatedService.Find("g", tone));
    EXPECT_FALSE(tone.downloaded);
    gated.Release();
    workers.JoinAll();

    ASSERT_TRUE(gatedService.Find("g", tone));
    EXPECT_TRUE(tone.downloaded);
    EXPECT_EQ(http.hits().size(), 1u);
    EXPECT_EQ(server.queries(), 2);
    EXPECT_EQ(gatedService.ActiveDownloads(), 0);
}

TEST_F(PartnerEngineTest, NotAttachedQueriesNothingAndKeepsTheSetting) {
    shared.SkypeAttached = false;
    settings.Set(2, false, "k");
    RunToEnd();
    EXPECT_EQ(server.queries(), 0);
    EXPECT_EQ(settings.StandardTone(), 2);
}

}  // namespace
}  // namespace velto::partner
