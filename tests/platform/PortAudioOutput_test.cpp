// The PortAudio output against a real sound server: a private PulseAudio daemon with a null
// sink, started by the test in its own folder, and `parec` recording the sink's monitor.
// PortAudio reaches the daemon through ALSA's pulse plugin (PULSE_SERVER names its socket).
//
// As root (CI) the daemon needs no --system: with -n, its own socket and HOME and
// XDG_RUNTIME_DIR inside the test's folder it only warns that it is not meant for root.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/SoundOutput.h"
#include "platform/SoundStream.h"
#include "platform/Trace.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

extern char** environ;

namespace velto::platform {
namespace {

using namespace std::chrono_literals;
using test::ReadFileBytes;

constexpr int kRate = 16000;
constexpr const char* kSink = "velto_test";

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        if (::access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A child process with extra environment variables and standard output to a file.
class Child {
  public:
    Child(std::vector<std::string> argv, std::vector<std::string> extraEnv,
          const std::filesystem::path& output) {
        std::vector<std::string> env = std::move(extraEnv);
        for (char** e = environ; *e != nullptr; ++e) {
            env.emplace_back(*e);
        }
        std::vector<char*> args;
        for (auto& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO,
                                         (output.string() + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() { End(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    bool Running() { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    void End() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
};

bool SocketAccepts(const std::filesystem::path& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::vector<int16_t> Samples(const std::string& bytes, size_t from = 0) {
    std::vector<int16_t> samples;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                               static_cast<uint8_t>(bytes[i + 1]) << 8));
    }
    return samples;
}

class PortAudioOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!OnPath("pulseaudio") || !OnPath("parec")) {
            GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs "
                            "pulseaudio and pulseaudio-utils)";
        }
        const auto socketPath = dir_ / "native";
        const std::vector<std::string> env = {"HOME=" + dir_.path().string(),
                                              "XDG_RUNTIME_DIR=" + dir_.path().string()};
        daemon_ = std::make_unique<Child>(
            std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                     "--use-pid-file=no", "--disable-shm=yes",
                                     "--load=module-native-protocol-unix socket=" +
                                         socketPath.string() + " auth-anonymous=1",
                                     "--load=module-null-sink sink_name=" + std::string(kSink) +
                                         " rate=16000 channels=1 format=s16le"},
            env, dir_ / "pulseaudio.log");
        ASSERT_TRUE(daemon_->started()) << "cannot start pulseaudio";
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!SocketAccepts(socketPath)) {
            ASSERT_TRUE(daemon_->Running())
                << "pulseaudio ended: " << ReadFileBytes(dir_ / "pulseaudio.log.err");
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "pulseaudio does not answer";
            std::this_thread::sleep_for(20ms);
        }
        server_ = "unix:" + socketPath.string();
        ::setenv("PULSE_SERVER", server_.c_str(), 1);
        ::setenv("PULSE_CLIENTCONFIG", "/dev/null", 1);
    }

    void TearDown() override {
        recorder_.reset();
        daemon_.reset();
        ::unsetenv("PULSE_SERVER");
    }

    void StartRecording() {
        recorder_ = std::make_unique<Child>(
            std::vector<std::string>{"parec", "--device=" + std::string(kSink) + ".monitor",
                                     "--raw", "--rate=16000", "--channels=1", "--format=s16le",
                                     "--latency-msec=10"},
            std::vector<std::string>{"PULSE_SERVER=" + server_}, dir_ / "heard.raw");
        ASSERT_TRUE(recorder_->started());
        // parec takes a moment to connect; the monitor's silence shows that it records.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        std::error_code error;
        while (std::filesystem::file_size(dir_ / "heard.raw", error) < 3200 || error) {
            ASSERT_TRUE(recorder_->Running())
                << "parec ended: " << ReadFileBytes(dir_ / "heard.raw.err");
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "parec records nothing";
            std::this_thread::sleep_for(20ms);
        }
    }

    // Waits until the recording ends in `count` samples of silence: the sink's time, not the
    // wall clock's, which a loaded machine lets run ahead of the recorder. A sound that
    // never stops fails here.
    void WaitForTrailingSilence(size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            const std::vector<int16_t> heard = Samples(ReadFileBytes(dir_ / "heard.raw"));
            const auto last =
                std::find_if(heard.rbegin(), heard.rend(), [](int16_t s) { return s != 0; });
            if (static_cast<size_t>(last - heard.rbegin()) >= count) {
                return;
            }
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the sink is not silent";
            std::this_thread::sleep_for(10ms);
        }
    }

    // Waits until the recording holds `count` samples that are not silence.
    void WaitForSound(size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            const std::vector<int16_t> heard = Samples(ReadFileBytes(dir_ / "heard.raw"));
            if (static_cast<size_t>(std::count_if(heard.begin(), heard.end(),
                                                  [](int16_t s) { return s != 0; })) >= count) {
                return;
            }
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the sink hears too little";
            std::this_thread::sleep_for(10ms);
        }
    }

    std::vector<int16_t> StopRecording() {
        recorder_->End();
        return Samples(ReadFileBytes(dir_ / "heard.raw"));
    }

    // A mono 16 kHz tone of `count` pseudo-random samples, so that any window of it occurs
    // only where the file really played.
    std::filesystem::path Tone(size_t count, std::vector<int16_t>& samples) {
        samples.resize(count);
        uint32_t state = 12345;
        for (auto& s : samples) {
            state = state * 1103515245u + 12345u;
            s = static_cast<int16_t>(static_cast<int32_t>((state >> 16) % 20001) - 10000);
        }
        const auto path = dir_ / "tone.wav";
        const uint32_t dataBytes = static_cast<uint32_t>(count * 2);
        std::string bytes = "RIFF";
        auto le = [&](uint32_t v, int n) {
            for (int i = 0; i < n; ++i) {
                bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
            }
        };
        le(36 + dataBytes, 4);
        bytes += "WAVEfmt ";
        le(16, 4);
        le(1, 2);  // PCM
        le(1, 2);  // mono
        le(kRate, 4);
        le(kRate * 2, 4);
        le(2, 2);
        le(16, 2);
        bytes += "data";
        le(dataBytes, 4);
        for (int16_t s : samples) {
            bytes.push_back(static_cast<char>(s & 0xFF));
            bytes.push_back(static_cast<char>((s >> 8) & 0xFF));
        }
        test::WriteFileBytes(path, bytes);
        return path;
    }

    static bool WaitUntilSilent(SoundOutput& output, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (output.IsPlaying()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    test::RealTimeLimit limit_{std::chrono::seconds(40), "PortAudioOutputTest"};
    test::TempDir dir_;
    std::string server_;
    std::unique_ptr<Child> daemon_;
    std::unique_ptr<Child> recorder_;
    TraceCapture quiet_;
};

// What reached the sink: the file once, then the file looped without a seam, then nothing.
TEST_F(PortAudioOutputTest, TheSinkReceivesTheFileLoopedWhereAskedAndSilenceAfterStop) {
    std::vector<int16_t> tone;
    const auto file = Tone(kRate * 3 / 10, tone);  // 300 ms
    auto output = CreatePortAudioSoundOutput();
    ASSERT_NE(output, nullptr) << "PortAudio finds no device on the private sound server";
    StartRecording();

    const size_t n = tone.size();
    std::atomic<int> completions{0};
    ASSERT_TRUE(output->Play(file, false, [&] { ++completions; }));
    ASSERT_TRUE(WaitUntilSilent(*output, 5s));
    // The pause is the sink's: the output is silent once the sound server has the last
    // samples, and a loaded server may play them a good while later (a wall-clock pause here
    // once let the loop follow the first play without a gap, one run in twenty under load).
    WaitForSound(n);
    WaitForTrailingSilence(kRate * 3 / 10);
    ASSERT_TRUE(output->Play(file, true));
    // Three copies of the loop reached the sink (the first play is one more), allowing for
    // samples the device chain leaves out; then Stop.
    WaitForSound(4 * n - n / 4);
    EXPECT_TRUE(output->IsPlaying());
    output->Stop();
    EXPECT_FALSE(output->IsPlaying());
    WaitForTrailingSilence(kRate * 6 / 10);
    const std::vector<int16_t> heard = StopRecording();
    EXPECT_EQ(completions.load(), 1);  // the loop's stop is no completion

    // Every sample the sink received must be the file's next one: the first play, then
    // the loop's copies one after the other. The device chain may leave samples out (a busy
    // machine runs short now and then; the pulse plugin drops a stream's first and last few
    // milliseconds, which the output fills with silence) and insert silence, but never
    // play anything else: a foreign sample would skip about 20000 of the file's (its values
    // are pseudo-random in 20001), far over the allowance. `played[k]` is the sample of
    // `heard` that was the k-th sample of the sequence, or none.
    std::vector<std::optional<size_t>> played;
    size_t skipped = 0;
    for (size_t i = 0; i < heard.size(); ++i) {
        if (heard[i] == 0) {
            continue;  // silence: before, between and after the streams, or a short run
        }
        while (played.size() < 8 * n && tone[played.size() % n] != heard[i]) {
            played.emplace_back();
            ++skipped;
        }
        ASSERT_LT(played.size(), 8 * n) << "sample " << i << " is not the file's";
        played.emplace_back(i);
    }
    EXPECT_LE(skipped, n / 2) << "too much of the file is missing";
    // The first play is heard whole, its first sample to its last: the output pads a sound
    // with the silence the device chain drops at a stream's start and end.
    EXPECT_EQ(std::count_if(played.begin(), played.begin() + std::min(n, played.size()),
                            [](const std::optional<size_t>& k) { return k.has_value(); }),
              static_cast<std::ptrdiff_t>(n));
    // The first play once, then a pause, then the loop: at least three copies before Stop
    // (that it stopped shows in the silence waited for above and checked below).
    const size_t copies = played.size() / n;
    EXPECT_GE(copies, 3u) << "the loop did not repeat the file";
    std::optional<size_t> lastOfFirst;
    std::optional<size_t> firstOfLoop;
    for (size_t k = 0; k < played.size(); ++k) {
        if (played[k] && k < n) {
            lastOfFirst = played[k];
        }
        if (played[k] && k >= n && !firstOfLoop) {
            firstOfLoop = played[k];
        }
    }
    ASSERT_TRUE(lastOfFirst && firstOfLoop);
    EXPECT_GE(*firstOfLoop - *lastOfFirst, static_cast<size_t>(kRate / 5))
        << "no pause between the first play and the loop";
    // After Stop: silence, at least 400 ms of it.
    size_t lastSound = 0;
    for (size_t i = 0; i < heard.size(); ++i) {
        if (heard[i] != 0) {
            lastSound = i;
        }
    }
    EXPECT_GE(heard.size() - lastSound, static_cast<size_t>(kRate * 4 / 10));
}

// Several threads start and stop sounds on one output at once (a ringing call, a preview
// button, a peer's "SP"): no sound may be freed under a running stream, and after the last
// Stop nothing plays on, least of all a loop that nothing could stop any more.
TEST_F(PortAudioOutputTest, ConcurrentPlaysAndStopsLeaveNothingPlayingAfterTheLastStop) {
    std::vector<int16_t> tone;
    const auto file = Tone(kRate / 10, tone);  // 100 ms
    auto output = CreatePortAudioSoundOutput();
    ASSERT_NE(output, nullptr);
    StartRecording();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 15; ++i) {
                if ((i + t) % 3 == 2) {
                    output->Stop();
                } else {
                    output->Play(file, (i + t) % 2 == 0);
                }
                output->IsPlaying();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    output->Stop();
    EXPECT_FALSE(output->IsPlaying());
    WaitForTrailingSilence(kRate * 3 / 10);
    const std::vector<int16_t> heard = StopRecording();
    ASSERT_GT(heard.size(), static_cast<size_t>(kRate * 3 / 10));
    const auto tail = std::vector<int16_t>(heard.end() - kRate * 3 / 10, heard.end());
    EXPECT_TRUE(std::all_of(tail.begin(), tail.end(), [](int16_t s) { return s == 0; }))
        << "sound after the last Stop";
}

// A voice handed on in pieces, each written while the one before still plays (as a call's
// recording is read while it grows): the sink hears the pieces one after the other with no
// sample lost or repeated between them, and silence once the stream is gone.
TEST_F(PortAudioOutputTest, AStreamPlaysItsPiecesWithoutASeam) {
    std::vector<int16_t> voice;
    Tone(kRate * 2, voice);  // 2 s: eight pieces of 250 ms
    const size_t piece = kRate / 4;
    const auto pieceAt = [&](size_t k) {
        return std::vector<int16_t>(voice.begin() + static_cast<std::ptrdiff_t>(k * piece),
                                    voice.begin() + static_cast<std::ptrdiff_t>((k + 1) * piece));
    };
    auto stream = CreatePortAudioSoundStream();
    ASSERT_NE(stream, nullptr);
    StartRecording();
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(stream->Write(pieceAt(k), kRate));
    }
    // The stream keeps its first rate.
    EXPECT_FALSE(stream->Write(pieceAt(0), kRate * 2));
    EXPECT_FALSE(stream->Write(pieceAt(0), 0));
    // Each next piece while at least one still waits: the sink's time decides.
    for (size_t k = 3; k < 8; ++k) {
        WaitForSound((k - 2) * piece);
        ASSERT_TRUE(stream->Write(pieceAt(k), kRate));
    }
    // All of it heard (a sample of the voice may be 0), then the silence the stream plays
    // while it waits for more; then it goes.
    WaitForSound(8 * piece - 16);
    WaitForTrailingSilence(kRate / 10);
    stream.reset();
    WaitForTrailingSilence(kRate * 3 / 10);
    const std::vector<int16_t> heard = StopRecording();
    // Every sample the sink received is the voice's next one: none lost, none repeated. A
    // busy machine may make the device chain insert silence; a little is allowed, far less
    // than a stream opened anew for each piece would leave between them.
    size_t next = 0;
    size_t inserted = 0;
    for (size_t i = 0; i < heard.size() && next < voice.size(); ++i) {
        if (heard[i] == voice[next]) {
            ++next;
        } else if (heard[i] == 0) {
            inserted += next > 0 ? 1 : 0;
        } else {
            FAIL() << "heard sample " << i << " is not the voice's sample " << next;
        }
    }
    EXPECT_EQ(next, voice.size()) << "the voice was not heard to its end";
    EXPECT_LE(inserted, static_cast<size_t>(kRate / 10)) << "gaps between the pieces";
}

}  // namespace
}  // namespace velto::platform
