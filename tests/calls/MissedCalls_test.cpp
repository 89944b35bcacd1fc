#include <gtest/gtest.h>

#include <filesystem>

#include "calls/CallTimeText.h"
#include "calls/MissedCallFile.h"
#include "calls/MissedCallList.h"
#include "platform/Text.h"
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
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\n\xff/v.wav", 11)).error,
              "record 1: voice file has no line end");
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\0x\n\0", 7)).error,
              "record 1: time holds a NUL byte");
    EXPECT_EQ(DecodeMissedCalls(std::string("a\nt\n\xff/v\xc3.wav\n", 13)).error,
              "record 1: voice file is not UTF-8");
}

// A line is read into 1,024 bytes with its line end and a terminator: 1,022 bytes before
// the end are the most any line holds, whichever field it is and whichever end (LF or
// CR LF) it has. One more refuses the file naming record and field; the writer leaves
// such a record out rather than write a file the first format's reader would split.
TEST(MissedCallFile, EveryLineHoldsAtMost1022BytesBeforeItsEnd) {
    const std::string longest(1022, 'x');
    const std::string over(1023, 'x');
    struct Case {
        const char* field;
        std::string (*make)(const std::string& text, const char* end);
    };
    const Case cases[] = {
        {"handle", [](const std::string& text,
                      const char* end) { return text + end + "t" + end + std::string(1, '\0'); }},
        {"time",
         [](const std::string& text, const char* end) {
             return "h" + std::string(end) + text + end + std::string(1, '\0');
         }},
        {"voice file",
         [](const std::string& text, const char* end) {
             return "h" + std::string(end) + "t" + end + "\xff/" + text.substr(1) + end;
         }},
    };
    for (const Case& c : cases) {
        for (const char* end : {"\n", "\r\n"}) {
            const auto read = DecodeMissedCalls(c.make(longest, end));
            ASSERT_TRUE(read.records) << c.field << ": " << read.error;
            ASSERT_EQ(read.records->size(), 1u);
            const MissedCall& record = read.records->front();
            const std::string field = std::string(c.field) == "handle" ? record.partnerHandle
                                      : std::string(c.field) == "time"
                                          ? record.time
                                          : platform::Utf16ToUtf8(record.voiceFile);
            EXPECT_EQ(field,
                      std::string(c.field) == "voice file" ? "/" + longest.substr(1) : longest);
            const auto refused = DecodeMissedCalls(c.make(over, end));
            EXPECT_FALSE(refused.records) << c.field;
            EXPECT_EQ(refused.error,
                      "record 1: " + std::string(c.field) + " is longer than 1022 bytes");
            EXPECT_TRUE(refused.beforeDamage.empty());
        }
    }
    platform::TraceCapture trace;
    const MissedCall atLimit{longest, longest, true, std::u16string(1022, u'v')};
    const std::string written = EncodeMissedCalls({atLimit});
    EXPECT_EQ(written.size(), 3 * 1023 + 1u);
    EXPECT_EQ(*DecodeMissedCalls(written).records, std::vector<MissedCall>{atLimit});
    MissedCall longHandle = atLimit, longTime = atLimit, longVoice = atLimit;
    longHandle.partnerHandle += "x";
    longTime.time += "x";
    longVoice.voiceFile += u"x";
    EXPECT_EQ(EncodeMissedCalls({longHandle, longTime, longVoice, kPlain}),
              EncodeMissedCalls({kPlain}));
    EXPECT_TRUE(trace.Contains("left out"));
}

// 16 MiB is the largest file read: 16,384 records of 1,024 bytes each make it exactly,
// one byte more is refused before any record is read.
TEST(MissedCallFile, SixteenMebibytesIsTheLargestFileRead) {
    const std::string record = std::string(1020, 'h') + "\nt\n" + std::string(1, '\0');
    ASSERT_EQ(record.size(), 1024u);
    std::string file;
    file.reserve(16777217);
    for (int i = 0; i < 16384; ++i) {
        file += record;
    }
    const auto whole = DecodeMissedCalls(file);
    ASSERT_TRUE(whole.records) << whole.error;
    EXPECT_EQ(whole.records->size(), 16384u);
    file += 'h';
    const auto over = DecodeMissedCalls(file);
    EXPECT_FALSE(over.records);
    EXPECT_EQ(over.error, "file of 16777217 bytes is too large");
    EXPECT_TRUE(over.beforeDamage.empty());
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
