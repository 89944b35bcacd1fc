// Voice messages and their records: a record names a message only once it is in place,
// and a message whose call a crash or a full disk cut short gets its record at the next
// start.
#include <gtest/gtest.h>

#include "CallWorld.h"
#include "calls/MissedCallFile.h"
#include "calls/PendingMessage.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

namespace velto::calls::test {
namespace {

// Python's own WAV reader takes the file, and its sizes are those of what it holds.
bool PythonTakesIt(const std::filesystem::path& file) {
    const auto read = velto::test::RunShell(
        "python3 -c 'import sys, os, wave; w = wave.open(sys.argv[1]); "
        "print(44 + w.getnframes() * w.getsampwidth() == os.path.getsize(sys.argv[1]))' " +
        velto::test::ShellQuote(file.string()) + " 2>&1");
    return read.output == "True\n";
}

TEST(VoiceMessages, TheRecordNamesAMessageOnlyWhenItIsInPlace) {
    platform::TraceCapture trace;
    CallWorld w;
    // The message cannot be written: the VoiceMessage folder is taken by a file.
    velto::test::WriteFileBytes(w.own / "VoiceMessage", "not a folder");
    const int32_t id = w.Ring("alice");
    w.Finish();
    EXPECT_FALSE(w.Info(id).recordingErrors.empty());
    auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_FALSE(records[0].hasVoiceMessage);
    EXPECT_TRUE(records[0].voiceFile.empty());
    EXPECT_TRUE(trace.Contains("No voice message in place at "));

    std::filesystem::remove(w.own / "VoiceMessage");
    const int32_t next = w.Ring("bob");
    w.After(50s);
    w.world->CallerHangsUp(next);
    w.Finish();
    records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 2u);
    ASSERT_TRUE(records[1].hasVoiceMessage);
    const std::filesystem::path voice = platform::Utf16ToUtf8(records[1].voiceFile);
    EXPECT_TRUE(PythonTakesIt(voice));
    // The side file went once the record named the message.
    EXPECT_FALSE(std::filesystem::exists(PendingNoteOf(voice)));
}

TEST(VoiceMessages, SideFilesLeftByAnInterruptedCallBecomeRecordsAtTheNextStart) {
    platform::TraceCapture trace;
    velto::test::TempDir dir;
    const auto folder = dir / "VoiceMessage";
    MissedCallList list([&] { return std::optional(dir.path()); });
    // The message is in place but the program ended before the record was saved.
    std::filesystem::create_directories(folder);
    velto::test::WriteFileBytes(folder / "recorded_alice_1.wav", std::string(44, 'x'));
    MissedCall alice{"alice", "2027/01/15 08:00:00", false, {}};
    ASSERT_TRUE(WritePendingNote(folder / "recorded_alice_1.wav", alice));
    // The record was saved without the message, which came into place later.
    MissedCall bob{"bob", "2027/01/15 09:00:00", false, {}};
    list.Add(bob);
    velto::test::WriteFileBytes(folder / "recorded_bob_1.wav", std::string(60, 'x'));
    ASSERT_TRUE(WritePendingNote(folder / "recorded_bob_1.wav", bob));
    // Nothing was ever recorded; and a damaged side file.
    MissedCall carol{"carol", "2027/01/15 10:00:00", false, {}};
    ASSERT_TRUE(WritePendingNote(folder / "recorded_carol_1.wav", carol));
    velto::test::WriteFileBytes(folder / "recorded_dave_1.wav.call", "caller=dave\n");

    // A side file of this run belongs to a call still on: left alone.
    const auto runStart = std::filesystem::file_time_type::clock::now();
    MissedCall erin{"erin", "2027/01/15 11:00:00", false, {}};
    ASSERT_TRUE(WritePendingNote(folder / "recorded_erin_1.wav", erin));
    std::filesystem::last_write_time(PendingNoteOf(folder / "recorded_erin_1.wav"),
                                     runStart + std::chrono::seconds(1));

    EXPECT_EQ(SettlePendingMessages(list, folder, runStart), 3);
    const auto records = list.Snapshot();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].partnerHandle, "bob");
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_EQ(platform::Utf16ToUtf8(records[0].voiceFile),
              (folder / "recorded_bob_1.wav").string());
    std::map<std::string, MissedCall> added;
    for (size_t i = 1; i < records.size(); ++i) {
        added[records[i].partnerHandle] = records[i];
    }
    EXPECT_TRUE(added["alice"].hasVoiceMessage);
    EXPECT_EQ(added["alice"].time, "2027/01/15 08:00:00");
    EXPECT_FALSE(added["carol"].hasVoiceMessage);
    EXPECT_TRUE(list.NewMissedCall());
    EXPECT_TRUE(trace.Contains("recorded_dave_1.wav.call is damaged"));
    // Saved, and nothing left to settle.
    MissedCallList again([&] { return std::optional(dir.path()); });
    EXPECT_TRUE(again.Load());
    EXPECT_EQ(again.size(), 3u);
    EXPECT_EQ(SettlePendingMessages(again, folder, runStart), 0);
    EXPECT_TRUE(std::filesystem::exists(PendingNoteOf(folder / "recorded_erin_1.wav")));
}

TEST(VoiceMessages, TheSideFileNeedsBothFieldsAndWholeLines) {
    const auto good = ParsePendingNote("caller=alice\ntime=2027/01/15 08:00:00\n");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->partnerHandle, "alice");
    EXPECT_EQ(good->time, "2027/01/15 08:00:00");
    EXPECT_TRUE(ParsePendingNote("time=t\ncaller=a\nother=x\n"));
    EXPECT_FALSE(ParsePendingNote("caller=alice\ntime=2027/01/15 08:00:00"));
    EXPECT_FALSE(ParsePendingNote("caller=\ntime=t\n"));
    EXPECT_FALSE(ParsePendingNote("caller=alice\n"));
    EXPECT_FALSE(ParsePendingNote(""));
    EXPECT_TRUE(ParsePendingNote("caller=" + std::string(4096 - 15, 'a') + "\ntime=t\n"));
    EXPECT_FALSE(ParsePendingNote("caller=" + std::string(4096 - 14, 'a') + "\ntime=t\n"));
}

// One damaged byte in the missed-call file costs the records from there on, not those
// before it; the damaged file is kept aside and what was kept is the list's file again.
TEST(VoiceMessages, ADamagedMissedCallFileKeepsTheRecordsBeforeTheDamage) {
    platform::TraceCapture trace;
    velto::test::TempDir dir;
    MissedCallList list([&] { return std::optional(dir.path()); });
    const MissedCall alice{"alice", "2027/01/15 08:00:00", false, {}};
    const MissedCall bob{"bob", "2027/01/15 09:00:00", true, u"/v/recorded_bob.wav"};
    const MissedCall carol{"carol", "2027/01/15 10:00:00", false, {}};
    list.Replace({alice, bob, carol});
    ASSERT_TRUE(list.Save());
    std::string bytes = velto::test::ReadFileBytes(dir / kMissedCallFileName);
    const size_t flag = bytes.find("carol\n2027/01/15 10:00:00\n") + 26;
    ASSERT_EQ(bytes[flag], '\0');
    bytes[flag] = '\x01';
    velto::test::WriteFileBytes(dir / kMissedCallFileName, bytes);

    MissedCallList again([&] { return std::optional(dir.path()); });
    EXPECT_FALSE(again.Load());
    EXPECT_EQ(again.Snapshot(), (std::vector<MissedCall>{alice, bob}));
    EXPECT_TRUE(trace.Contains("(record 3: flag byte 1 is not a known one); the 2 records"))
        << trace.Text();
    EXPECT_EQ(velto::test::ReadFileBytes(dir / "MissedCalls.bad-1"), bytes);
    MissedCallList third([&] { return std::optional(dir.path()); });
    EXPECT_TRUE(third.Load());
    EXPECT_EQ(third.size(), 2u);

    // Damage in the first record keeps nothing, as before.
    velto::test::WriteFileBytes(dir / kMissedCallFileName, "alice\n");
    EXPECT_FALSE(third.Load());
    EXPECT_EQ(third.size(), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir / "MissedCalls.bad-2"));
    EXPECT_FALSE(std::filesystem::exists(dir / kMissedCallFileName));
}

}  // namespace
}  // namespace velto::calls::test
