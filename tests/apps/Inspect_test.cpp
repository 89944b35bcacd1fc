#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "core/SettingFileCodec.h"
#include "platform/HiveFormat.h"
#include "support/TempDir.h"
#include "velto-inspect/Inspect.h"

namespace velto::inspect {
namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Inspect(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunInspect(args, out, err);
    return {code, out.str(), err.str()};
}

core::SettingFileContents Sample() {
    core::SettingFileContents c;
    c.language = 5;
    c.voiceMailOn = false;
    c.greetingSource = "my \"greeting\".wav";
    c.ringToneSource = "bad\xff";
    c.standardTone = 1;
    c.ownToneTitle = u"\u94c3\u58f0\n";
    c.ownToneSource = std::u16string(1, char16_t(0xD800));
    c.catalogue = {{-1, u"/i/default.wav", u"Default"}, {3, u"/u/t.wav", u"\u00e9t\u00e9"}};
    c.converted = {{"a.mp3", 3}};
    c.ringBacks = {{"bob", {1, 3, -1}}};
    return c;
}

TEST(Inspect, PrintsEveryFieldOfASettingFile) {
    test::TempDir dir;
    const std::string file = (dir / "Setting").string();
    test::WriteFileBytes(file, core::EncodeSettingFile(Sample()));

    const Outcome readable = Inspect({"setting", file});
    EXPECT_EQ(readable.code, kExitOk) << readable.err;
    EXPECT_EQ(readable.out.substr(readable.out.find('\n') + 1),
              "format version: 1\n"
              "language: 5\n"
              "voice mail on: no\n"
              "use-default-greeting: yes\n"
              "greeting source: \"my \\\"greeting\\\".wav\"\n"
              "use-default-ring-tone: yes\n"
              "ring-tone source: \"bad\\xff\"\n"
              "standard-tone setting: 1 (own standard tone)\n"
              "own standard tone title: \"\xe9\x93\x83\xe5\xa3\xb0\\n\"\n"
              "own standard tone source: \"\\uD800\"\n"
              "chosen partner tone key: \"-1\"\n"
              "tone catalogue: 2 entries\n"
              "  -1: title \"Default\", path \"/i/default.wav\"\n"
              "  3: title \"\xc3\xa9t\xc3\xa9\", path \"/u/t.wav\"\n"
              "converted files: 1 entry\n"
              "  \"a.mp3\" -> 3\n"
              "per-contact ring-back tones: 1 entry\n"
              "  \"bob\": mode 1, first 3, second -1\n");

    const Outcome json = Inspect({"setting", "--json", file});
    EXPECT_EQ(json.code, kExitOk);
    EXPECT_EQ(
        json.out,
        "{\"version\":1,\"language\":5,\"voiceMailOn\":false,\"useDefaultGreeting\":true,"
        "\"greetingSource\":\"my \\\"greeting\\\".wav\",\"useDefaultRingTone\":true,"
        "\"ringToneSource\":\"bad\xef\xbf\xbd\",\"standardTone\":1,"
        "\"ownToneTitle\":\"\xe9\x93\x83\xe5\xa3\xb0\\n\",\"ownToneSource\":\"\\uD800\","
        "\"partnerToneKey\":\"-1\",\"catalogue\":[{\"id\":-1,\"path\":\"/i/default.wav\","
        "\"title\":\"Default\"},{\"id\":3,\"path\":\"/u/t.wav\",\"title\":\"\xc3\xa9t\xc3\xa9\"}],"
        "\"converted\":[{\"source\":\"a.mp3\",\"id\":3}],"
        "\"ringBacks\":[{\"handle\":\"bob\",\"mode\":1,\"firstId\":3,\"secondId\":-1}],"
        "\"trailingBytes\":0}\n");
}

// The voice-mail limits, when the file has them, close both prints.
TEST(Inspect, PrintsTheVoiceMailLimits) {
    test::TempDir dir;
    const std::string file = (dir / "Setting").string();
    core::SettingFileContents limited = Sample();
    limited.voiceMailLimits = core::VoiceMailLimits{2000, 0, 600000};
    test::WriteFileBytes(file, core::EncodeSettingFile(limited));
    const Outcome readable = Inspect({"setting", file});
    EXPECT_TRUE(readable.out.ends_with(
        "voice-mail limits: silence 2000 ms, least voice 0 ms, longest message 600000 ms\n"))
        << readable.out;
    const Outcome json = Inspect({"setting", "--json", file});
    EXPECT_TRUE(json.out.ends_with(
        "\"voiceMailLimits\":{\"silenceMs\":2000,\"minVoiceMs\":0,\"maxLengthMs\":600000},"
        "\"trailingBytes\":0}\n"))
        << json.out;
}

// The greetings, when the file has them, close both prints too.
TEST(Inspect, PrintsTheGreetings) {
    test::TempDir dir;
    const std::string file = (dir / "Setting").string();
    core::SettingFileContents greeted = Sample();
    greeted.greetings = core::GreetingTable{
        std::nullopt,
        {{"al", {core::GreetingKind::Own, ""}}, {"bo", {core::GreetingKind::File, "b.wav"}}}};
    test::WriteFileBytes(file, core::EncodeSettingFile(greeted));
    const Outcome readable = Inspect({"setting", file});
    EXPECT_TRUE(
        readable.out.ends_with("busy greeting: none\n"
                               "per-contact greetings: 2 entries\n"
                               "  \"al\": own\n"
                               "  \"bo\": file \"b.wav\"\n"))
        << readable.out;
    greeted.greetings->busy = core::GreetingChoice{core::GreetingKind::Standard, ""};
    test::WriteFileBytes(file, core::EncodeSettingFile(greeted));
    const Outcome json = Inspect({"setting", "--json", file});
    EXPECT_TRUE(json.out.ends_with(
        "\"greetings\":{\"busy\":{\"kind\":\"standard\"},\"contacts\":["
        "{\"handle\":\"al\",\"greeting\":{\"kind\":\"own\"}},"
        "{\"handle\":\"bo\",\"greeting\":{\"kind\":\"file\",\"file\":\"b.wav\"}}]},"
        "\"trailingBytes\":0}\n"))
        << json.out;
}

TEST(Inspect, RejectsDamagedFilesWithOneLineNamingFieldAndOffset) {
    test::TempDir dir;
    const std::string file = (dir / "Setting").string();
    const std::string bytes = core::EncodeSettingFile(Sample());
    test::WriteFileBytes(file, bytes.substr(0, 12));
    Outcome run = Inspect({"setting", file});
    EXPECT_EQ(run.code, kExitMalformed);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "velto-inspect: " + file +
                           ": malformed setting file: field 'greeting source' at offset 10: "
                           "4 bytes needed, 2 remain\n");

    run = Inspect({"setting", (dir / "missing").string()});
    EXPECT_EQ(run.code, kExitMalformed);
    EXPECT_NE(run.err.find("No such file"), std::string::npos);

    EXPECT_EQ(Inspect({}).code, kExitUsage);
    EXPECT_EQ(Inspect({"setting"}).code, kExitUsage);
    EXPECT_EQ(Inspect({"setting", file, "extra"}).code, kExitUsage);
    EXPECT_EQ(Inspect({"nonsense"}).code, kExitUsage);
}

TEST(Inspect, PrintsARegistryHiveAndRejectsADamagedOne) {
    test::TempDir dir;
    const std::string file = (dir / "user.reg").string();
    const platform::HiveKeys keys = {
        {"Software\\Velto",
         {{"FriendMsg", platform::RegValue::Dword(0xFFFFFFFF)},
          {"InstallDir", platform::RegValue::String("/usr/share/velto")},
          {"Other", platform::RegValue::Raw(platform::RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0})}}}};
    test::WriteFileBytes(file, platform::FormatHive(keys));

    const Outcome readable = Inspect({"registry", file});
    EXPECT_EQ(readable.code, kExitOk) << readable.err;
    EXPECT_EQ(readable.out.substr(readable.out.find('\n') + 1),
              "[Software\\Velto]\n"
              "  \"FriendMsg\" REG_DWORD 0xffffffff (4294967295)\n"
              "  \"InstallDir\" REG_SZ \"/usr/share/velto\"\n"
              "  \"Other\" REG_QWORD hex:01,00,00,00,00,00,00,00\n");
    const Outcome json = Inspect({"registry", "--json", file});
    EXPECT_EQ(
        json.out,
        "{\"keys\":[{\"path\":\"Software\\\\Velto\",\"values\":["
        "{\"name\":\"FriendMsg\",\"type\":\"REG_DWORD\",\"dword\":4294967295},"
        "{\"name\":\"InstallDir\",\"type\":\"REG_SZ\",\"text\":\"/usr/share/velto\"},"
        "{\"name\":\"Other\",\"type\":\"REG_QWORD\",\"hex\":\"01,00,00,00,00,00,00,00\"}]}]}\n");

    const std::string text = platform::FormatHive(keys);
    test::WriteFileBytes(file, text.substr(0, text.size() - 1));  // cut short
    const Outcome damaged = Inspect({"registry", file});
    EXPECT_EQ(damaged.code, kExitMalformed);
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(damaged.err.rfind("velto-inspect: " + file + ": malformed hive file: line ", 0), 0u)
        << damaged.err;
    EXPECT_EQ(std::count(damaged.err.begin(), damaged.err.end(), '\n'), 1);
}

// The real program, as support would run it.
TEST(Inspect, TheProgramExitsNonZeroOnADamagedFile) {
    test::TempDir dir;
    const std::string good = (dir / "good").string();
    const std::string bad = (dir / "bad").string();
    test::WriteFileBytes(good, core::EncodeSettingFile(Sample()));
    test::WriteFileBytes(
        bad, std::string("\x01\x00\x00\x00\x05\x00\x00\x00\x01\x01\xff\xff\xff\x7f", 14));
    const std::string program = VELTO_INSPECT_PROGRAM;
    auto status = [&](const std::string& file) {
        const int raw =
            std::system((program + " setting --json '" + file + "' >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status(good), kExitOk);
    EXPECT_EQ(status(bad), kExitMalformed);
}

}  // namespace
}  // namespace velto::inspect
