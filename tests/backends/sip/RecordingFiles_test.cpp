// The files of a SIP call's recording: a name of its own per call, the side file, the move
// into place and what the next start does with what a crash left.
#include "backends/sip/RecordingFiles.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <set>

#include "audio/WavSizes.h"
#include "platform/Trace.h"
#include "support/PythonWav.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

std::string Le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

// What the stack leaves while it records: a blank header, then the samples.
std::string BlankRecording(size_t sampleBytes) {
    return std::string(44, '\0') + std::string(sampleBytes, '\x11');
}

TEST(RecordingFiles, EveryCallGetsANewEmptyFileWhateverEarlierRunsLeft) {
    test::TempDir dir;
    std::set<std::filesystem::path> names;
    for (int i = 0; i < 50; ++i) {
        std::string error;
        const auto file = CreateRecordingFile(dir.path(), error);
        ASSERT_TRUE(file) << error;
        EXPECT_EQ(file->parent_path(), dir.path());
        EXPECT_EQ(file->extension(), ".wav");
        EXPECT_EQ(std::filesystem::file_size(*file), 0u);
        EXPECT_TRUE(names.insert(*file).second) << *file;
        test::WriteFileBytes(*file, "an earlier caller");
    }
    std::string error;
    EXPECT_FALSE(CreateRecordingFile(dir / "missing", error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(RecordingFiles, TheSideFileKeepsPlaceAndFormatAndRefusesDamage) {
    test::TempDir dir;
    const auto recording = dir / "recording-abcdef.wav";
    ASSERT_EQ(WriteTargetNote(recording, {"/home/u/VoiceMessage/m.wav", {16000, 1}}), "");
    const auto note = ParseTargetNote(test::ReadFileBytes(TargetNoteOf(recording)));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->target, "/home/u/VoiceMessage/m.wav");
    EXPECT_EQ(note->format.rate, 16000u);
    EXPECT_EQ(note->format.channels, 1u);

    EXPECT_FALSE(ParseTargetNote(""));
    EXPECT_FALSE(ParseTargetNote("target=/a.wav\nrate=8000\nchannels=1"));   // cut off
    EXPECT_FALSE(ParseTargetNote("target=a.wav\nrate=8000\nchannels=1\n"));  // relative
    EXPECT_FALSE(ParseTargetNote("target=/a.wav\nrate=8k\nchannels=1\n"));
    EXPECT_FALSE(ParseTargetNote("target=/a.wav\nrate=8000\nchannels=17\n"));
    EXPECT_TRUE(ParseTargetNote("target=/a.wav\nrate=8000\nchannels=16\n"));
    EXPECT_FALSE(
        ParseTargetNote("target=/" + std::string(9000, 'a') + "\nrate=8000\nchannels=1\n"));
    // A side file of 8,192 bytes is read (the name takes what the two numbers leave); one
    // byte more is refused. The writer makes those very bytes of such a note.
    const std::string numbers = "\nrate=8000\nchannels=1\n";  // 22 bytes
    const std::string name = "/" + std::string(8192 - 7 - 1 - 22, 'n');
    const std::string largest = "target=" + name + numbers;
    ASSERT_EQ(largest.size(), 8192u);
    const auto atLimit = ParseTargetNote(largest);
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->target, name);
    EXPECT_FALSE(ParseTargetNote("target=" + name + "n" + numbers));
    const auto onDisk = dir / "recording-ondisk.wav";
    ASSERT_TRUE(WriteTargetNote(onDisk, *atLimit).empty());
    EXPECT_EQ(test::ReadFileBytes(TargetNoteOf(onDisk)), largest);
}

TEST(RecordingFiles, ACrashedRecordingGoesToItsPlaceAsAReadableWavAndTheRestIsCleared) {
    platform::TraceCapture trace;
    test::TempDir dir;
    const auto sip = dir / "sip";
    const auto messages = dir / "VoiceMessage";
    std::filesystem::create_directories(sip);
    std::filesystem::create_directories(messages);
    // Cut off while recording: blank header, an odd byte of a sample at the end.
    test::WriteFileBytes(sip / "recording-aaaaaa.wav", BlankRecording(16001));
    ASSERT_EQ(WriteTargetNote(sip / "recording-aaaaaa.wav", {messages / "a.wav", {8000, 1}}), "");
    // Finished by the stack (wrong sizes), but the program ended before the move.
    test::WriteFileBytes(sip / "recording-bbbbbb.wav",
                         "RIFF" + Le32(32) + "WAVEfmt " + Le32(16) +
                             std::string("\x01\x00\x01\x00", 4) + Le32(8000) + Le32(16000) +
                             std::string("\x02\x00\x10\x00", 4) + "data" + Le32(0) +
                             std::string(800, '\x22'));
    ASSERT_EQ(WriteTargetNote(sip / "recording-bbbbbb.wav", {messages / "b.wav", {8000, 1}}), "");
    // Never recorded into (no side file), a side file alone, and a recording of nothing.
    test::WriteFileBytes(sip / "recording-cccccc.wav", "");
    ASSERT_EQ(WriteTargetNote(sip / "recording-dddddd.wav", {messages / "d.wav", {8000, 1}}), "");
    test::WriteFileBytes(sip / "recording-eeeeee.wav", std::string(20, '\0'));
    ASSERT_EQ(WriteTargetNote(sip / "recording-eeeeee.wav", {messages / "e.wav", {8000, 1}}), "");
    test::WriteFileBytes(sip / "linphone.db", "the stack's own");

    EXPECT_EQ(RecoverRecordings(sip), 2);
    // The torn sample's odd byte stays: whole frames and one byte.
    EXPECT_EQ(test::PythonWavReading(messages / "a.wav"), "8000 8000 1 2 False\n");
    EXPECT_EQ(std::filesystem::file_size(messages / "a.wav"), 44u + 16001u);
    EXPECT_EQ(test::PythonWavReading(messages / "b.wav"), "400 8000 1 2 True\n");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(sip)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"linphone.db"});
    EXPECT_FALSE(std::filesystem::exists(messages / "d.wav"));
    EXPECT_FALSE(std::filesystem::exists(messages / "e.wav"));
    EXPECT_TRUE(trace.Contains("holds nothing usable"));
}

TEST(RecordingFiles, AMoveThatFailsKeepsTheRecordingAndNamesTheRealReason) {
    test::TempDir dir;
    const auto recording = dir / "recording-ffffff.wav";
    test::WriteFileBytes(recording, BlankRecording(1600));
    ASSERT_EQ(audio::WriteWavHeader(recording, {8000, 1}), "");
    ASSERT_EQ(WriteTargetNote(recording, {dir / "gone/m.wav", {8000, 1}}), "");
    EXPECT_EQ(PlaceRecording(recording, dir / "gone/m.wav"), "No such file or directory");
    EXPECT_TRUE(std::filesystem::exists(recording));
    EXPECT_TRUE(std::filesystem::exists(TargetNoteOf(recording)));

    // Once the place is there, the next start puts it in.
    std::filesystem::create_directories(dir / "gone");
    EXPECT_EQ(RecoverRecordings(dir.path()), 1);
    EXPECT_EQ(test::PythonWavReading(dir / "gone/m.wav"), "800 8000 1 2 True\n");
}

// Across file systems the recording is copied beside its place and renamed when complete;
// a copy the target's full disk refuses leaves no part there, keeps the recording, and is
// reported with the disk's own reason (not that of the clean-up after it).
TEST(RecordingFiles, AcrossFileSystemsAFullDiskIsNamedAndNothingHalfIsLeft) {
    test::TempDir dir;
    test::TempDir small;
    if (unshare(CLONE_NEWNS) == 0) {
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    }
    if (mount("tmpfs", small.path().c_str(), "tmpfs", 0, "size=16k") != 0) {
        GTEST_SKIP() << "no tmpfs could be mounted (needs root)";
    }
    const auto recording = dir / "recording-gggggg.wav";
    test::WriteFileBytes(recording, BlankRecording(64000));
    ASSERT_EQ(audio::WriteWavHeader(recording, {8000, 1}), "");
    ASSERT_EQ(WriteTargetNote(recording, {small / "m.wav", {8000, 1}}), "");
    EXPECT_EQ(PlaceRecording(recording, small / "m.wav"), "No space left on device");
    EXPECT_TRUE(std::filesystem::exists(recording));
    EXPECT_TRUE(std::filesystem::exists(TargetNoteOf(recording)));
    EXPECT_TRUE(std::filesystem::is_empty(small.path()));

    test::WriteFileBytes(recording, BlankRecording(4000));
    ASSERT_EQ(audio::WriteWavHeader(recording, {8000, 1}), "");
    EXPECT_EQ(PlaceRecording(recording, small / "m.wav"), "");
    EXPECT_EQ(test::PythonWavReading(small / "m.wav"), "2000 8000 1 2 True\n");
    EXPECT_FALSE(std::filesystem::exists(recording));
    EXPECT_FALSE(std::filesystem::exists(TargetNoteOf(recording)));
    umount2(small.path().c_str(), MNT_DETACH);
}

TEST(WavSizes, SizesComeFromTheFileAndOnlyAPlainPcmHeaderIsTouched) {
    test::TempDir dir;
    const auto file = dir / "m.wav";
    test::WriteFileBytes(file, BlankRecording(0));
    EXPECT_EQ(audio::WriteWavHeader(file, {48000, 2}), "");
    EXPECT_EQ(test::PythonWavReading(file),
              "0 48000 2 2 True\n");  // an empty message is a valid WAV too
    EXPECT_EQ(test::ReadFileBytes(file).substr(4, 4), Le32(36));
    test::WriteFileBytes(file, test::ReadFileBytes(file) + std::string(7, '\x01'));
    EXPECT_EQ(audio::FixWavSizes(file), "");
    // Python reads the whole frames; the torn one's 3 bytes stay (a file still being written
    // is never cut), so the file is not header and frames exactly.
    EXPECT_EQ(test::PythonWavReading(file), "1 48000 2 2 False\n");
    EXPECT_EQ(test::ReadFileBytes(file).substr(4, 4), Le32(44 + 7 - 8));

    test::WriteFileBytes(file, BlankRecording(100));
    EXPECT_EQ(audio::FixWavSizes(file), "no RIFF/WAVE header");
    EXPECT_EQ(audio::WriteWavHeader(file, {0, 1}), "no usable sound format");
    // The most a header is written for: 1,000,000 frames a second, 16 channels.
    test::WriteFileBytes(file, BlankRecording(64));
    EXPECT_EQ(audio::WriteWavHeader(file, {1000000, 16}), "");
    EXPECT_EQ(test::ReadFileBytes(file).substr(22, 6), std::string("\x10\x00", 2) + Le32(1000000));
    EXPECT_EQ(audio::WriteWavHeader(file, {1000001, 16}), "no usable sound format");
    EXPECT_EQ(audio::WriteWavHeader(file, {1000000, 17}), "no usable sound format");
    EXPECT_EQ(audio::WriteWavHeader(file, {8000, 0}), "no usable sound format");
    test::WriteFileBytes(file, std::string(43, '\0'));
    EXPECT_EQ(audio::FixWavSizes(file), "shorter than a WAV header");
    EXPECT_EQ(audio::WriteWavHeader(file, {8000, 1}), "shorter than a WAV header");
    EXPECT_EQ(audio::FixWavSizes(dir / "none.wav"), "No such file or directory");
}

}  // namespace
}  // namespace velto::skype::sip
