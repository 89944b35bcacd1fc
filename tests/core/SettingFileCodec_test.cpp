#include <gtest/gtest.h>

#include "core/SettingFileCodec.h"

namespace velto::core {
namespace {

std::string Le16(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

SettingFileContents SmallSet() {
    SettingFileContents c;
    c.language = 3;
    c.voiceMailOn = false;
    c.useDefaultGreeting = true;
    c.greetingSource = "g.wav";
    c.useDefaultRingTone = false;
    c.ringToneSource = "r";
    c.standardTone = 2;
    c.ownToneTitle = u"T\u00f6";
    c.ownToneSource = u"";
    c.partnerToneKey = u"-1";
    c.catalogue = {{-1, u"/i/default.wav", u"Default"}, {4, u"/t", u""}};
    c.converted = {{"a.mp3", 4}};
    c.ringBacks = {{"al", {1, 4, -1}}, {"bo", {0, 0, 0}}};
    return c;
}

// The bytes of SmallSet(), written out field by field.
std::string SmallSetBytes() {
    using namespace std::string_literals;
    return "\x01\x00\x00\x00"s  // version 1
           "\x03\x00\x00\x00"s  // language 3
           "\x00"s              // voice mail off
           "\x01"s              // default greeting
           "\x05\x00\x00\x00"s
           "g.wav"s  // greeting source
           "\x00"s   // own ring tone
           "\x01\x00\x00\x00"s
           "r"s                 // ring-tone source
           "\x02\x00\x00\x00"s  // standard tone 2
           "\x02\x00\x00\x00"s
           "T\x00\xf6\x00"s     // own title
           "\x00\x00\x00\x00"s  // own source ""
           "\x02\x00\x00\x00"s
           "-\x00"
           "1\x00"s             // partner key
           "\x02\x00\x00\x00"s  // 2 tones
           "\xff\xff\xff\xff"s
           "\x0e\x00\x00\x00"s +
           Le16(u"/i/default.wav") + "\x07\x00\x00\x00"s + Le16(u"Default") +  // path, then title
           "\x04\x00\x00\x00"s
           "\x02\x00\x00\x00"s
           "/\x00t\x00"s
           "\x00\x00\x00\x00"s +
           "\x01\x00\x00\x00"s
           "\x05\x00\x00\x00"s
           "a.mp3"s
           "\x04\x00\x00\x00"s +
           "\x02\x00\x00\x00"s  // 2 contacts
           "\x02\x00\x00\x00"s
           "al"s
           "\x01\x00\x00\x00"s
           "\x04\x00\x00\x00"s
           "\xff\xff\xff\xff"s
           "\x02\x00\x00\x00"s
           "bo"s
           "\x00\x00\x00\x00"s
           "\x00\x00\x00\x00"s
           "\x00\x00\x00\x00"s;
}

TEST(SettingFileCodec, WritesTheLayoutByteForByte) {
    EXPECT_EQ(EncodeSettingFile(SmallSet()), SmallSetBytes());
}

TEST(SettingFileCodec, ReadsWhatItWrites) {
    SettingFileContents c = SmallSet();
    c.ownToneTitle = u"\u94c3\u58f0 \U0001F3B5 \u00e9";  // CJK, a surrogate pair, Latin
    c.ownToneSource = u"C:\\t\u00f6ne.mp3";
    c.greetingSource.clear();
    c.ringToneSource = "\xc3\xa9t\xc3\xa9.wav";
    c.language = -1;
    const SettingFileDecoded decoded = DecodeSettingFile(EncodeSettingFile(c));
    ASSERT_TRUE(decoded.contents) << decoded.error.ToString();
    EXPECT_EQ(*decoded.contents, c);
    EXPECT_EQ(decoded.trailingBytes, 0u);

    const SettingFileDecoded golden = DecodeSettingFile(SmallSetBytes());
    ASSERT_TRUE(golden.contents);
    EXPECT_EQ(*golden.contents, SmallSet());
}

TEST(SettingFileCodec, ToleratesBytesAfterTheLastField) {
    const SettingFileDecoded decoded = DecodeSettingFile(SmallSetBytes() + "xyz");
    ASSERT_TRUE(decoded.contents);
    EXPECT_EQ(decoded.trailingBytes, 3u);
}

std::string WithInt32At(std::string bytes, size_t offset, uint32_t value);

// The voice-mail limits follow the last field of version 1, marked: a file without them
// is the version 1 file it was (and reads with none); a file with them reads back the same;
// a limit out of its range or cut short refuses the file with the field named.
TEST(SettingFileCodec, VoiceMailLimitsFollowTheLastFieldOfVersionOne) {
    using namespace std::string_literals;
    SettingFileContents limited = SmallSet();
    limited.voiceMailLimits = VoiceMailLimits{2000, 0, 600000};
    const std::string bytes = EncodeSettingFile(limited);
    const std::string block =
        "VML1"s + "\xd0\x07\x00\x00"s + "\x00\x00\x00\x00"s + "\xc0\x27\x09\x00"s;
    EXPECT_EQ(bytes, SmallSetBytes() + block);
    const SettingFileDecoded decoded = DecodeSettingFile(bytes);
    ASSERT_TRUE(decoded.contents) << decoded.error.ToString();
    EXPECT_EQ(*decoded.contents, limited);
    EXPECT_EQ(decoded.trailingBytes, 0u);
    EXPECT_FALSE(DecodeSettingFile(SmallSetBytes()).contents->voiceMailLimits);

    const size_t at = SmallSetBytes().size() + 4;
    EXPECT_EQ(DecodeSettingFile(WithInt32At(bytes, at, 999)).error.ToString(),
              "field 'voice-mail silence limit' at offset " + std::to_string(at) +
                  ": 999 is outside 1000 to 60000");
    EXPECT_EQ(DecodeSettingFile(WithInt32At(bytes, at + 8, 0xFFFFFFFF)).error.field,
              "voice-mail longest message");
    EXPECT_EQ(DecodeSettingFile(bytes.substr(0, bytes.size() - 2)).error.field,
              "voice-mail longest message");
}

// Each voice-mail limit at both ends of its range: the end itself reads back, one past it
// refuses the file naming the field. Ranges in milliseconds: silence 1,000 to 60,000,
// least voice 0 to 10,000, longest message 10,000 to 3,600,000.
TEST(SettingFileCodec, VoiceMailLimitsHoldAtBothEndsOfTheirRanges) {
    struct Case {
        size_t field;  // 0 silence, 1 least voice, 2 longest message
        const char* name;
        int32_t edge;
        int32_t beyond;
        const char* range;
    };
    const Case cases[] = {
        {0, "voice-mail silence limit", 1000, 999, "1000 to 60000"},
        {0, "voice-mail silence limit", 60000, 60001, "1000 to 60000"},
        {1, "voice-mail least voice", 0, -1, "0 to 10000"},
        {1, "voice-mail least voice", 10000, 10001, "0 to 10000"},
        {2, "voice-mail longest message", 10000, 9999, "10000 to 3600000"},
        {2, "voice-mail longest message", 3600000, 3600001, "10000 to 3600000"},
    };
    for (const Case& c : cases) {
        SettingFileContents limited = SmallSet();
        limited.voiceMailLimits = VoiceMailLimits{2000, 0, 600000};
        int32_t* fields[] = {&limited.voiceMailLimits->silenceMs,
                             &limited.voiceMailLimits->minVoiceMs,
                             &limited.voiceMailLimits->maxLengthMs};
        *fields[c.field] = c.edge;
        const std::string bytes = EncodeSettingFile(limited);
        const SettingFileDecoded atEdge = DecodeSettingFile(bytes);
        ASSERT_TRUE(atEdge.contents) << c.name << " " << c.edge << ": " << atEdge.error.ToString();
        EXPECT_EQ(*atEdge.contents, limited) << c.name << " " << c.edge;
        const size_t at = SmallSetBytes().size() + 4 + 4 * c.field;
        EXPECT_EQ(DecodeSettingFile(WithInt32At(bytes, at, static_cast<uint32_t>(c.beyond)))
                      .error.ToString(),
                  "field '" + std::string(c.name) + "' at offset " + std::to_string(at) + ": " +
                      std::to_string(c.beyond) + " is outside " + c.range);
    }
}

TEST(SettingFileCodec, EveryTruncationIsRefusedWithFieldAndOffset) {
    const std::string bytes = SmallSetBytes();
    for (size_t length = 0; length < bytes.size(); ++length) {
        const SettingFileDecoded decoded =
            DecodeSettingFile(std::string_view(bytes).substr(0, length));
        ASSERT_FALSE(decoded.contents) << "length " << length;
        EXPECT_FALSE(decoded.error.field.empty());
        EXPECT_LE(decoded.error.offset, length);
    }
    EXPECT_EQ(DecodeSettingFile("").error.ToString(),
              "field 'format version' at offset 0: 4 bytes needed, 0 remain");
    EXPECT_EQ(DecodeSettingFile(bytes.substr(0, 12)).error.ToString(),
              "field 'greeting source' at offset 10: 4 bytes needed, 2 remain");
    EXPECT_EQ(DecodeSettingFile(bytes.substr(0, 16)).error.ToString(),
              "field 'greeting source' at offset 10: length 5 bytes runs past the end "
              "(2 bytes remain)");
}

std::string WithInt32At(std::string bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

TEST(SettingFileCodec, RefusesLengthsAndCountsThatCannotBe) {
    const std::string bytes = SmallSetBytes();
    // A narrow string of 1,024 bytes or more, even when the file is long enough.
    std::string longGreeting = WithInt32At(bytes, 10, 1024) + std::string(2000, 'x');
    EXPECT_EQ(DecodeSettingFile(longGreeting).error.ToString(),
              "field 'greeting source' at offset 10: length 1024 is 1024 bytes or more");
    EXPECT_EQ(DecodeSettingFile(WithInt32At(bytes, 10, 0xFFFFFFFF)).error.ToString(),
              "field 'greeting source' at offset 10: negative length -1");
    // 1023 bytes is the longest narrow string, and reads back whole.
    SettingFileContents c = SmallSet();
    c.greetingSource.assign(1023, 'g');
    const SettingFileDecoded longest = DecodeSettingFile(EncodeSettingFile(c));
    ASSERT_TRUE(longest.contents) << longest.error.ToString();
    EXPECT_EQ(longest.contents->greetingSource, std::string(1023, 'g'));

    // Own title: 0x40000000 UTF-16 units would need 2 GiB.
    const SettingFileDecoded title = DecodeSettingFile(WithInt32At(bytes, 29, 0x40000000));
    EXPECT_EQ(title.error.field, "own standard tone title");
    EXPECT_EQ(title.error.offset, 29u);

    // Catalogue count at offset 49: absurd and negative counts.
    const SettingFileDecoded many = DecodeSettingFile(WithInt32At(bytes, 49, 0x7FFFFFFF));
    EXPECT_EQ(many.error.field, "tone catalogue count");
    EXPECT_EQ(many.error.offset, 49u);
    EXPECT_EQ(DecodeSettingFile(WithInt32At(bytes, 49, 0x80000000)).error.field,
              "tone catalogue count");
    // One more tone than the file holds: refused when its entry runs out.
    EXPECT_FALSE(DecodeSettingFile(WithInt32At(bytes, 49, 3)).contents);
}

// The greeting table follows the limits (or takes their place), marked: a busy greeting
// and the contacts' greetings, each an int32 kind and a narrow file name.
SettingFileContents WithGreetings() {
    SettingFileContents c = SmallSet();
    c.greetings = GreetingTable{GreetingChoice{GreetingKind::File, "busy.wav"},
                                {{"al", {GreetingKind::Own, ""}},
                                 {"bo", {GreetingKind::File, "Greeting-bo.wav"}},
                                 {"cy", {GreetingKind::Standard, ""}}}};
    return c;
}

std::string GreetingBlock() {
    using namespace std::string_literals;
    return "GRT1"s + "\x02\x00\x00\x00"s + "\x08\x00\x00\x00"s + "busy.wav"s +  // busy: a file
           "\x03\x00\x00\x00"s +                                                // 3 contacts
           "\x02\x00\x00\x00"s + "al"s + "\x01\x00\x00\x00"s + "\x00\x00\x00\x00"s +  // own
           "\x02\x00\x00\x00"s + "bo"s + "\x02\x00\x00\x00"s + "\x0f\x00\x00\x00"s +
           "Greeting-bo.wav"s +                                                      // file
           "\x02\x00\x00\x00"s + "cy"s + "\x00\x00\x00\x00"s + "\x00\x00\x00\x00"s;  // standard
}

TEST(SettingFileCodec, GreetingsFollowTheLimitsOrTakeTheirPlace) {
    using namespace std::string_literals;
    const SettingFileContents greeted = WithGreetings();
    EXPECT_EQ(EncodeSettingFile(greeted), SmallSetBytes() + GreetingBlock());
    SettingFileContents both = greeted;
    both.voiceMailLimits = VoiceMailLimits{};
    const std::string limits =
        "VML1"s + "\x70\x17\x00\x00"s + "\xe8\x03\x00\x00"s + "\xe0\x93\x04\x00"s;
    EXPECT_EQ(EncodeSettingFile(both), SmallSetBytes() + limits + GreetingBlock());
    SettingFileContents noBusy = greeted;
    noBusy.greetings->busy.reset();
    noBusy.greetings->contacts.clear();
    EXPECT_EQ(EncodeSettingFile(noBusy),
              SmallSetBytes() + "GRT1"s + "\xff\xff\xff\xff"s + std::string(8, '\0'));

    for (const SettingFileContents& c : {greeted, both, noBusy}) {
        const SettingFileDecoded decoded = DecodeSettingFile(EncodeSettingFile(c));
        ASSERT_TRUE(decoded.contents) << decoded.error.ToString();
        EXPECT_EQ(*decoded.contents, c);
        EXPECT_EQ(decoded.trailingBytes, 0u);
    }
    // A reader that knows only the limits stops at the marker, as this one does at a
    // block it does not know.
    const SettingFileDecoded later = DecodeSettingFile(EncodeSettingFile(both) + "XYZ1abc"s);
    ASSERT_TRUE(later.contents);
    EXPECT_EQ(*later.contents, both);
    EXPECT_EQ(later.trailingBytes, 7u);
    const SettingFileDecoded limitsOnly = DecodeSettingFile(SmallSetBytes() + limits);
    ASSERT_TRUE(limitsOnly.contents);
    EXPECT_FALSE(limitsOnly.contents->greetings);
}

TEST(SettingFileCodec, ADamagedGreetingTableIsRefusedWithTheFieldNamed) {
    using namespace std::string_literals;
    const std::string good = SmallSetBytes() + GreetingBlock();
    const size_t block = SmallSetBytes().size();
    const size_t busyKind = block + 4;
    const size_t count = busyKind + 16;
    const size_t alKind = count + 10;
    const auto error = [](const std::string& bytes) {
        return DecodeSettingFile(bytes).error.ToString();
    };
    EXPECT_EQ(error(WithInt32At(good, busyKind, 3)), "field 'busy greeting kind' at offset " +
                                                         std::to_string(busyKind) +
                                                         ": 3 is outside -1 to 2");
    EXPECT_EQ(error(WithInt32At(good, alKind, 0xFFFFFFFF)),
              "field 'contact greeting kind' at offset " + std::to_string(alKind) +
                  ": -1 is outside 0 to 2");
    EXPECT_EQ(error(WithInt32At(good, count, 0x10000000)),
              "field 'contact greeting count' at offset " + std::to_string(count) +
                  ": count 268435456 cannot fit in the 57 bytes that remain");
    EXPECT_EQ(DecodeSettingFile(WithInt32At(good, count, 4)).error.field,
              "contact greeting handle");
    // A file name with a folder in it, and a file name given to a greeting that is no file.
    std::string climbing = good;
    climbing.replace(busyKind + 8, 8, "../x.wav");
    EXPECT_EQ(error(climbing), "field 'busy greeting file' at offset " +
                                   std::to_string(busyKind + 4) +
                                   ": not a bare file name: contains a path separator");
    EXPECT_EQ(error(WithInt32At(good, busyKind, 1)), "field 'busy greeting file' at offset " +
                                                         std::to_string(busyKind + 4) +
                                                         ": a file name for a greeting of kind 1");
    // A greeting's file name of 200 bytes is a bare name; 201 bytes are too long.
    SettingFileContents named = WithGreetings();
    named.greetings->busy->file = std::string(196, 'b') + ".wav";
    const SettingFileDecoded name200 = DecodeSettingFile(EncodeSettingFile(named));
    ASSERT_TRUE(name200.contents) << name200.error.ToString();
    EXPECT_EQ(name200.contents->greetings->busy->file, std::string(196, 'b') + ".wav");
    named.greetings->busy->file = std::string(197, 'b') + ".wav";
    EXPECT_EQ(error(EncodeSettingFile(named)), "field 'busy greeting file' at offset " +
                                                   std::to_string(busyKind + 4) +
                                                   ": not a bare file name: too long");
    // A count that exactly fits the bytes after it (12 bytes the smallest entry: empty
    // handle, kind, empty file) is read; one more is refused before anything is made.
    SettingFileContents blank = SmallSet();
    blank.greetings = GreetingTable{};
    blank.greetings->contacts.resize(5);
    const std::string fits = EncodeSettingFile(blank);
    const SettingFileDecoded five = DecodeSettingFile(fits);
    ASSERT_TRUE(five.contents) << five.error.ToString();
    EXPECT_EQ(five.contents->greetings->contacts.size(), 5u);
    const size_t blankCount = busyKind + 8;  // after kind -1 and an empty file
    EXPECT_EQ(error(WithInt32At(fits, blankCount, 6)),
              "field 'contact greeting count' at offset " + std::to_string(blankCount) +
                  ": count 6 cannot fit in the 60 bytes that remain");
    // Cut anywhere inside the block: refused, never read past the end.
    for (size_t length = block + 4; length < good.size(); ++length) {
        const SettingFileDecoded decoded = DecodeSettingFile(good.substr(0, length));
        ASSERT_FALSE(decoded.contents) << "length " << length;
        EXPECT_LE(decoded.error.offset, length);
    }
    // Cut inside the marker: not the block, so bytes the reader passes over.
    EXPECT_EQ(DecodeSettingFile(good.substr(0, block + 3)).trailingBytes, 3u);
}

}  // namespace
}  // namespace velto::core
