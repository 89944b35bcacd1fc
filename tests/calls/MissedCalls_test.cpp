#include <gtest/gtest.h>

#include <filesystem>

#include "calls/CallTimeText.h"
#include "calls/MissedCallFile.h"
#include "calls/MissedCallList.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::calls {
namespace {

const MissedCall kPlain{"alice", "2027/1/05 09:03:07", false, u""};
const MissedCall kWithVoice{"bob.b", "2027/12/31 23:59:59", true,
                            u"/home/u/.local/share/Velto/me/VoiceMessage/recorded_bob.b_x.wav"};

TEST(MissedCallFile, TwoRecordsAreFiveLinesAndTwoFlagBytesAndReadBack) {
    const std::string bytes = EncodeMissedCalls({kPlain, kWithVoice});
    EXPECT_EQ(bytes,
              std::string("alice\n2027/1/05 09:03:07\n\0bob.b\n2027/12/31 23:59:59\n\xff", 53) +
                  "/home/u/.local/share/Velto/me/VoiceMessage/recorded_bob.b_x.wav\n");
    const auto decoded = DecodeMissedCalls(bytes);
    ASSERT_TRUE(decoded.records) << decoded.error;
    EXPECT_EQ(*decoded.records, (std::vector<MissedCall>{kPlain, kWithVoice}));
    EXPECT_TRUE(DecodeMissedCalls("").records->empty());
    // A file from a system with CR LF line ends reads the same.
    const auto crlf = DecodeMissedCalls(std::string("alice\r\n2027/1/05 09:03:07\r\n\0", 28));
    ASSERT_TRUE(crlf.records) << crlf.error;
    EXPECT_EQ(crlf.records->at(0), kPlain);
}

TEST(MissedCallFile, DamagedFilesAreRefusedWithTheReason) {
    const std::string good = EncodeMissedCalls({kPlain, kWithVoice});
    // Every cut short of the whole file is damage (never a crash, never a partial list).
    for (size_t cut = 1; cut < good.size(); ++cut) {
        const auto decoded = DecodeMissedCalls(std::string_view(good).substr(0, cut));
        if (cut == 26) {  // exactly the first record
            EXPECT_TRUE(decoded.records);
            continue;
        }
        EXPECT_FALSE(decoded.records) << cut;
        EXPECT_FALSE(decoded.error.empty());
    }
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\n\x07", 5)).error,
              "record 1: flag byte 7 is not a known one");
    EXPECT_EQ(DecodeMissedCalls(std::string("\nt\n\0", 4)).error, "record 1: handle is empty");
    EXPECT_EQ(DecodeMissedCalls(std::string(1024, 'h') + "\nt\n" + std::string(1, '\0')).error,
              "record 1: handle is longer than 1023 bytes");
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\n\xff/v.wav", 11)).error,
              "record 1: voice file has no line end");
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\0x\n\0", 7)).error,
              "record 1: time holds a NUL byte");
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\n\xff/v\xc3.wav\n", 13)).error,
              "record 1: voice file is not UTF-8");
    EXPECT_TRUE(DecodeMissedCalls(std::string(1023, 'h') + "\nt\n" + std::string(1, '\0')).records);
}

TEST(MissedCallFile, HeardAndBusyMarksReadBackAndOldFilesReadAsNewMessages) {
    MissedCall heard = kWithVoice;
    heard.heard = true;
    MissedCall busy = kPlain;
    busy.busy = true;
    MissedCall busyWithVoice = kWithVoice;
    busyWithVoice.busy = true;
    const std::vector<MissedCall> records{kPlain, kWithVoice, heard, busy, busyWithVoice};
    const std::string bytes = EncodeMissedCalls(records);
    const auto decoded = DecodeMissedCalls(bytes);
    ASSERT_TRUE(decoded.records) << decoded.error;
    EXPECT_EQ(*decoded.records, records);
    // The flag bytes: the first format's where they say it all, 0x80 and bits elsewhere.
    const std::string plain = "alice\n2027/1/05 09:03:07\n";
    const std::string voice = "bob.b\n2027/12/31 23:59:59\n";
    const std::string path = "/home/u/.local/share/Velto/me/VoiceMessage/recorded_bob.b_x.wav\n";
    EXPECT_EQ(bytes, plain + '\x00' + voice + '\xff' + path + voice + '\x83' + path + plain +
                         '\x84' + voice + '\x85' + path);

    // A record of the first format with a message: not heard yet.
    const auto old = DecodeMissedCalls(std::string("bob\nt\n\xff/v.wav\n", 14));
    ASSERT_TRUE(old.records) << old.error;
    EXPECT_TRUE(old.records->at(0).hasVoiceMessage);
    EXPECT_FALSE(old.records->at(0).heard);
    EXPECT_FALSE(old.records->at(0).busy);
    // Without a message, "heard" is not kept.
    MissedCall plainHeard = kPlain;
    plainHeard.heard = true;
    EXPECT_EQ(EncodeMissedCalls({plainHeard}), EncodeMissedCalls({kPlain}));

    // Every byte from 0x80 to 0x87 but "heard without a message" reads; nothing beside.
    for (int byte = 0x7F; byte <= 0x88; ++byte) {
        std::string file = std::string("a\nt\n") + static_cast<char>(byte);
        if (byte & kStateVoice) {
            file += "/v.wav\n";
        }
        const auto read = DecodeMissedCalls(file);
        const bool known = byte >= 0x80 && byte <= 0x87 && byte != 0x82 && byte != 0x86;
        EXPECT_EQ(read.records.has_value(), known) << byte;
        if (!known) {
            EXPECT_EQ(read.error,
                      "record 1: flag byte " + std::to_string(byte) + " is not a known one");
        }
    }
}

TEST(MissedCallFile, RecordsTheFileCannotHoldAreLeftOut) {
    platform::TraceCapture trace;
    const MissedCall broken{"eve\nmallory", "t", false, u""};
    EXPECT_EQ(EncodeMissedCalls({broken, kPlain}), EncodeMissedCalls({kPlain}));
    EXPECT_TRUE(trace.Contains("left out"));
}

TEST(MissedCallList, SavesAtomicallyLoadsAndKeepsADamagedFileAside) {
    platform::TraceCapture trace;
    velto::test::TempDir dir;
    const std::filesystem::path own = dir / "me";
    MissedCallList list([&] { return std::optional(own); });
    EXPECT_TRUE(list.Load());  // no file yet: an empty list
    EXPECT_EQ(list.size(), 0u);

    list.AddSaveAndFlag(kPlain);
    EXPECT_TRUE(list.NewMissedCall());
    list.Add(kWithVoice);
    ASSERT_TRUE(list.Save());
    MissedCallList again([&] { return std::optional(own); });
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Snapshot(), (std::vector<MissedCall>{kPlain, kWithVoice}));
    EXPECT_FALSE(again.NewMissedCall());
    // Only the file itself in the folder: no temporary left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(own), {}), 1);

    velto::test::WriteFileBytes(own / kMissedCallFileName, std::string("alice\n2027\n\x01", 12));
    EXPECT_FALSE(again.Load());
    EXPECT_EQ(again.size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(own / kMissedCallFileName));
    EXPECT_TRUE(std::filesystem::exists(own / "MissedCalls.bad-1"));
    EXPECT_TRUE(trace.Contains("is damaged (record 1: flag byte 1 is not a known one)"));

    MissedCallList nowhere([] { return std::optional<std::filesystem::path>(); });
    nowhere.Add(kPlain);
    EXPECT_FALSE(nowhere.Save());
}

TEST(CallTimeText, StampAndVoiceFileName) {
    setenv("TZ", "UTC", 1);
    tzset();
    const platform::WallTime when{std::chrono::seconds(1'800'000'000)};  // 2027-01-15 08:00:00
    EXPECT_EQ(CallTimeText(when), "2027/01/15 08:00:00");
    EXPECT_EQ(VoiceFileName("/d/VoiceMessage", "bob", when),
              "/d/VoiceMessage/recorded_bob_20270115080000.wav");
    EXPECT_EQ(VoiceFileName("/d", "../x/y", when), "/d/recorded_.._x_y_20270115080000.wav");
    EXPECT_EQ(VoiceFileName("/d", "a\nb", when), "/d/recorded_20270115080000.wav");
    EXPECT_EQ(VoiceFileName("/d", std::string(300, 'a'), when), "/d/recorded_20270115080000.wav");
}

}  // namespace
}  // namespace velto::calls
