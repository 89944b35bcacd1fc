#include "audio/ConvertingThread.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "audio/MakeDirectories.h"
#include "audio/ToneConversion.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

namespace fs = std::filesystem;

class DoneListener : public platform::MessageTarget {
  public:
    explicit DoneListener(std::shared_ptr<ConvertingThread>& job) : job_(job) {}
    platform::LResult OnMessage(uint32_t message, platform::WParam w, platform::LParam l) override {
        EXPECT_EQ(message, WM_CONVERSION_DONE);
        EXPECT_EQ(l, 0);
        // The window reads the result while it handles the message.
        wParam = w;
        resultPath = job_->ResultPath();
        sourceName = job_->SourceName();
        ++messages;
        return 0;
    }
    platform::WParam wParam = 99;
    std::u16string resultPath;
    std::u16string sourceName;
    int messages = 0;

  private:
    std::shared_ptr<ConvertingThread>& job_;
};

class ConvertingThreadTest : public ::testing::Test {
  protected:
    ConvertingThreadTest() : loop_(clock_), listener_(job_) {
        window_ = windows_.Create(loop_, listener_);
        fs::create_directories(dir_ / "data" / "alice");
        fs::create_directories(dir_ / "tmp");
        state_.UserDataDir.Set((dir_ / "data").string());
        state_.MyHandle.Set("alice");
    }

    ConvertingContext Context() {
        return {windows_, loop_, state_, dir_ / "tmp",
                [&](const std::u16string& title, const std::u16string& path) {
                    // The catalogue belongs to the loop's thread.
                    EXPECT_TRUE(loop_.IsLoopThread());
                    catalogue_.emplace_back(title, path);
                    return static_cast<int32_t>(catalogue_.size() - 1);
                }};
    }

    // Runs one conversion of `source` to its end: the worker ends on its own, without the
    // loop's help, and the result is entered once the loop runs.
    void Convert(const fs::path& source) {
        velto::test::RealTimeLimit limit(platform::Millis(60000), "conversion");
        platform::Workers workers(clock_);
        job_ = ConvertingThread::Start(workers, Context(), platform::Utf8ToUtf16(source.string()),
                                       window_);
        workers.JoinAll();
        EXPECT_EQ(listener_.messages, 0);
        EXPECT_TRUE(catalogue_.empty());
        ASSERT_TRUE(
            loop_.RunUntil([&] { return listener_.messages == 1; }, platform::Millis(60000)));
        // Temporary files never outlive the job.
        EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));
    }

    std::vector<fs::path> Tones() const {
        std::vector<fs::path> found;
        if (fs::exists(dir_ / "data" / "alice" / "RingTone")) {
            for (const auto& e : fs::directory_iterator(dir_ / "data" / "alice" / "RingTone")) {
                found.push_back(e.path());
            }
        }
        return found;
    }

    velto::test::TempDir dir_;
    platform::VirtualClock clock_;
    platform::MessageLoop loop_;
    platform::WindowManager windows_;
    core::SharedState state_;
    std::shared_ptr<ConvertingThread> job_;
    DoneListener listener_;
    platform::WindowHandle window_ = 0;
    std::vector<std::pair<std::u16string, std::u16string>> catalogue_;
    platform::TraceCapture quiet_;
};

TEST_F(ConvertingThreadTest, UpperCaseMp3IsDecodedIntoTheRingToneFolder) {
    VELTO_REQUIRE_TOOLS();
    const fs::path wav = dir_ / "song.wav";
    ASSERT_TRUE(
        test::Run("sox -n -r 44100 -c 2 -b 16 '" + wav.string() + "' synth 1 sine 300 sine 500"));
    ASSERT_TRUE(
        test::Run("lame --quiet '" + wav.string() + "' '" + (dir_ / "Song.MP3").string() + "'"));
    Convert(dir_ / "Song.MP3");
    EXPECT_EQ(listener_.wParam, kConversionSucceeded);
    EXPECT_EQ(listener_.sourceName, u"Song.MP3");
    const auto tones = Tones();
    ASSERT_EQ(tones.size(), 1u);
    EXPECT_EQ(platform::Utf16ToUtf8(listener_.resultPath), tones[0].string());
    EXPECT_EQ(tones[0].filename().string().substr(0, 3), "SKY");
    EXPECT_EQ(tones[0].extension(), ".wav");
    const std::string tone = velto::test::ReadFileBytes(tones[0]);
    EXPECT_EQ(test::Le32At(tone, 24), 16000u);
    EXPECT_EQ(test::Le16At(tone, 22), 1);
    EXPECT_GT(tone.size(), 44u + 2 * 15000);  // about one second
    ASSERT_EQ(catalogue_.size(), 1u);
    EXPECT_EQ(catalogue_[0].first, u"Song.MP3");
    EXPECT_EQ(job_->ItemId(), 0);
    EXPECT_TRUE(job_->Succeeded());
}

TEST_F(ConvertingThreadTest, AWavSourceSkipsTheDecoderAndMatchesADirectConversion) {
    std::vector<int16_t> samples(2 * 48000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(i * 13);
    }
    velto::test::WriteFileBytes(dir_ / "pick.wav", test::MakeWav(48000, 2, samples));
    Convert(dir_ / "pick.wav");
    EXPECT_EQ(listener_.wParam, kConversionSucceeded);
    EXPECT_FALSE(quiet_.Contains("frames decoded"));
    ConvertToTelephoneRate(dir_ / "pick.wav", dir_ / "direct.wav");
    ASSERT_EQ(Tones().size(), 1u);
    EXPECT_EQ(velto::test::ReadFileBytes(Tones()[0]),
              velto::test::ReadFileBytes(dir_ / "direct.wav"));
}

TEST_F(ConvertingThreadTest, FailuresAreReportedAndLeaveNoTone) {
    velto::test::WriteFileBytes(dir_ / "not really.mp3", "no frames here");
    Convert(dir_ / "not really.mp3");
    EXPECT_EQ(listener_.wParam, kConversionFailed);
    EXPECT_EQ(listener_.sourceName, u"not really.mp3");
    EXPECT_TRUE(listener_.resultPath.empty());
    EXPECT_TRUE(Tones().empty());
    EXPECT_TRUE(catalogue_.empty());
    EXPECT_FALSE(job_->Succeeded());
    EXPECT_EQ(job_->ItemId(), -1);

    listener_.messages = 0;
    Convert(dir_ / "missing.wav");  // the copy fails
    EXPECT_EQ(listener_.wParam, kConversionFailed);

    listener_.messages = 0;
    velto::test::WriteFileBytes(dir_ / "short.wav", "RIFF");
    Convert(dir_ / "short.wav");  // the converter refuses the header
    EXPECT_EQ(listener_.wParam, kConversionFailed);
    EXPECT_TRUE(Tones().empty());
}

// The user's handle comes from Skype; one that is no plain name must not place the tone
// anywhere but in that user's own folder.
TEST_F(ConvertingThreadTest, AHandleThatIsNoPlainNameMakesNoToneAnywhere) {
    std::vector<int16_t> samples(8000, 100);
    velto::test::WriteFileBytes(dir_ / "pick.wav", test::MakeWav(8000, 1, samples));
    for (const char* handle : {"", "..", "../../escaped", "a/b", "."}) {
        state_.MyHandle.Set(handle);
        listener_.messages = 0;
        Convert(dir_ / "pick.wav");
        EXPECT_EQ(listener_.wParam, kConversionFailed) << handle;
        EXPECT_TRUE(catalogue_.empty()) << handle;
    }
    EXPECT_TRUE(quiet_.Contains("ConvertingThread: no tone folder for the user handle"));
    EXPECT_FALSE(fs::exists(dir_ / "RingTone"));
    EXPECT_FALSE(fs::exists(dir_ / "data" / "RingTone"));
    EXPECT_FALSE(fs::exists(dir_ / "escaped"));
    EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escaped"));
    EXPECT_FALSE(fs::exists(dir_ / "data" / "a"));
    EXPECT_TRUE(Tones().empty());
}

// A result nobody will take (the loop has quit) leaves no tone behind, and a job that
// starts while the program quits makes none.
TEST_F(ConvertingThreadTest, AResultNobodyTakesLeavesNoTone) {
    velto::test::RealTimeLimit limit(platform::Millis(60000), "conversion after quit");
    std::vector<int16_t> samples(16000, 1000);
    velto::test::WriteFileBytes(dir_ / "pick.wav", test::MakeWav(16000, 1, samples));
    loop_.Quit();
    {
        platform::Workers workers(clock_);
        job_ = ConvertingThread::Start(
            workers, Context(), platform::Utf8ToUtf16((dir_ / "pick.wav").string()), window_);
    }
    EXPECT_TRUE(Tones().empty());
    EXPECT_TRUE(quiet_.Contains("nobody takes"));

    platform::MessageLoop loop(clock_);
    platform::Workers workers(clock_);
    workers.stop().Request();
    ConvertingContext context = Context();
    ConvertingThread::Start(workers, {windows_, loop, state_, dir_ / "tmp", context.addTone},
                            platform::Utf8ToUtf16((dir_ / "pick.wav").string()), window_);
    workers.JoinAll();
    EXPECT_TRUE(Tones().empty());
    EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));
}

TEST(ToneConversion, Mp3NamesAreRecognisedInAnyCase) {
    EXPECT_TRUE(IsMp3Name(u"a.mp3"));
    EXPECT_TRUE(IsMp3Name(u"A.MP3"));
    EXPECT_TRUE(IsMp3Name("x.Mp3"));
    EXPECT_TRUE(IsMp3Name("mp3"));
    EXPECT_FALSE(IsMp3Name(u"a.wav"));
    EXPECT_FALSE(IsMp3Name("p3"));
}

TEST(MakeDirectories, CreatesEveryMissingLevel) {
    velto::test::TempDir dir;
    const std::string deep = (dir / "a/b/c").string();
    EXPECT_TRUE(MakeDirectories(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(MakeDirectories(deep));  // existing levels are harmless
    // 1,027 characters are the longest path made; 1,028 are refused before any level is.
    std::string longest = (dir / "long").string();
    while (longest.size() + 201 <= 1027) {
        longest += "/" + std::string(200, 'd');
    }
    longest += "/" + std::string(1027 - longest.size() - 1, 'e');
    ASSERT_EQ(longest.size(), 1027u);
    EXPECT_TRUE(MakeDirectories(longest));
    EXPECT_TRUE(fs::is_directory(longest));
    platform::TraceCapture quiet;
    const std::string over = longest + "f";
    EXPECT_FALSE(MakeDirectories(over));
    EXPECT_EQ(quiet.Text(), "MakeDirectories: path of 1028 characters refused\n");
    EXPECT_FALSE(fs::exists(over));
    EXPECT_FALSE(MakeDirectories(std::string(1028, 'a')));
    velto::test::WriteFileBytes(dir / "file", "x");
    EXPECT_FALSE(MakeDirectories((dir / "file/sub").string()));
}

}  // namespace
}  // namespace velto::audio
