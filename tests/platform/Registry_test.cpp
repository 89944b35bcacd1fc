#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/AutostartEntry.h"
#include "platform/HiveFormat.h"
#include "platform/Registry.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

constexpr std::string_view kKey = "Software\\Velto";

TEST(HiveFormat, TypedValuesEscapesAndNonAsciiRoundTrip) {
    const HiveKeys keys = {
        {"Software", {}},
        {"Software\\Velto",
         {{"FriendMsg", RegValue::Dword(0xFFFFFFFF)},
          {"InstallDir", RegValue::String("C:\\Program Files\\\"Velto\" ünïcode 铃声")},
          {"", RegValue::String("default value")},
          {"Multi", RegValue::String("two\nlines")},
          {"Blob", RegValue::Raw(RegType::Binary, {0x00, 0xFF, 0x10})},
          {"Big", RegValue::Raw(RegType::Qword, {1, 2, 3, 4, 5, 6, 7, 8})},
          {"Empty", RegValue::Raw(RegType::MultiSz, {})}}},
    };
    const std::string text = FormatHive(keys);
    EXPECT_NE(text.find("\"FriendMsg\"=dword:ffffffff\n"), std::string::npos);
    EXPECT_NE(text.find("\"InstallDir\"=\"C:\\\\Program Files\\\\\\\"Velto\\\" ünïcode 铃声\"\n"),
              std::string::npos);
    EXPECT_NE(text.find("@=\"default value\""), std::string::npos);
    EXPECT_NE(text.find("\"Big\"=hex(b):01,02,03,04,05,06,07,08"), std::string::npos);
    EXPECT_NE(text.find("\"Blob\"=hex:00,ff,10"), std::string::npos);
    const auto parsed = ParseHive(text);
    ASSERT_TRUE(std::holds_alternative<HiveKeys>(parsed))
        << std::get<HiveParseError>(parsed).message;
    EXPECT_EQ(std::get<HiveKeys>(parsed), keys);
}

TEST(HiveFormat, ReadsRegeditFilesWithCrLfCommentsAndContinuedHex) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; a comment\r\n"
        "[software\\velto]\r\n\"A\"=hex(2):41,00,\\\r\n  00,00\r\n\"a\"=dword:1\r\n"
        "[Software\\Velto]\r\n\"B\"=hex(4):01,00,00,00\r\n";
    const auto parsed = ParseHive(text);
    ASSERT_TRUE(std::holds_alternative<HiveKeys>(parsed))
        << std::get<HiveParseError>(parsed).message;
    const auto& keys = std::get<HiveKeys>(parsed);
    ASSERT_EQ(keys.size(), 1u);  // the same key twice, in other letter case, is merged
    ASSERT_EQ(keys[0].values.size(), 2u);
    EXPECT_EQ(keys[0].values[0].value, RegValue::Dword(1));  // the later "a" replaced "A"
    EXPECT_EQ(keys[0].values[1].value, RegValue::Dword(1));
}

TEST(HiveFormat, RefusesNonsenseNamingTheLine) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n";
    struct Case {
        std::string text;
        int line;
    };
    const Case cases[] = {
        {"", 1},
        {"REGEDIT4\n", 1},
        {header + "\"InstallDir\"=\"/usr/sh", 4},  // cut short
        {header + "\"X\"=dword:fffffffff\n", 4},
        {header + "\"X\"=dword:\n", 4},
        {header + "\"X\"=hex:0\n", 4},
        {header + "\"X\"=hex(1):41,00\n", 4},
        {header + "\"X\"=hex(4):01\n", 4},
        {header + "\"X\"=\"a\" trailing\n", 4},
        {header + "\"X\"=\"bad \\n escape\"\n", 4},
        {header + "\"X\"=-\n", 4},
        {header + "X=1\n", 4},
        {header + "[Software\\\\Velto]\n", 4},
        {header + "[-Software]\n", 4},
        {header + "[Software\n", 4},
        {"Windows Registry Editor Version 5.00\n\"X\"=dword:1\n", 2},
        {header + "\"X\"=hex:01,\\\n", 4},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseHive(c.text);
        ASSERT_TRUE(std::holds_alternative<HiveParseError>(parsed)) << c.text;
        EXPECT_EQ(std::get<HiveParseError>(parsed).line, c.line) << c.text;
    }
}

// The format's limits at their edges: a key path of 4,096 bytes, a value name of 16,383
// bytes (regedit's own), a file of 4 MiB. At the limit the text reads back as written; one
// past it is refused naming the line.
TEST(HiveFormat, LimitsHoldFromBothSides) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    const auto error = [](const std::string& text) {
        const auto parsed = ParseHive(text);
        return std::holds_alternative<HiveParseError>(parsed)
                   ? std::to_string(std::get<HiveParseError>(parsed).line) + ": " +
                         std::get<HiveParseError>(parsed).message
                   : std::string();
    };
    // "Software\" and 4,087 letters make 4,096.
    const std::string path = "Software\\" + std::string(4087, 'k');
    const auto longestPath = ParseHive(header + "[" + path + "]\n\"V\"=dword:00000001\n");
    ASSERT_TRUE(std::holds_alternative<HiveKeys>(longestPath))
        << error(header + "[" + path + "]\n");
    EXPECT_EQ(std::get<HiveKeys>(longestPath).at(0).path, path);
    EXPECT_EQ(error(header + "[" + path + "k]\n"), "3: key path empty or too long");

    const std::string name(16383, 'n');
    const HiveKeys named{{"Software\\Velto", {{name, RegValue::Dword(7)}}}};
    const auto longestName = ParseHive(FormatHive(named));
    ASSERT_TRUE(std::holds_alternative<HiveKeys>(longestName));
    EXPECT_EQ(std::get<HiveKeys>(longestName), named);
    EXPECT_EQ(error(header + "[Software\\Velto]\n\"" + name + "n\"=dword:00000001\n"),
              "4: value name too long");

    // 4 MiB = 4,194,304 bytes, filled up with a comment line.
    const std::string small = header + "[Software\\Velto]\n\"V\"=dword:00000001\n";
    const std::string largest = small + ";" + std::string(4194304 - small.size() - 2, 'c') + "\n";
    ASSERT_EQ(largest.size(), 4194304u);
    EXPECT_EQ(error(largest), "");
    EXPECT_EQ(error(largest + "\n"), "1: file too large");
}

class RegistryTest : public ::testing::Test {
  protected:
    Registry::Files Files() const {
        return {dir / "config/Velto/user.reg", dir / "machine.reg", dir / "autostart"};
    }
    test::TempDir dir;
};

TEST_F(RegistryTest, ValuesPersistInAPrivateFileAndCompareWithoutCase) {
    {
        Registry registry(Files());
        EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, kKey));
        EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "A", 1), RegError::NotFound);
        ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kKey), RegError::Ok);
        EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "FriendMsg", 0xFFFFFFFF),
                  RegError::Ok);
        EXPECT_EQ(registry.SetString(RegRoot::CurrentUser, kKey, "Name", "Zoë"), RegError::Ok);
        EXPECT_EQ(registry.SetString(RegRoot::CurrentUser, kKey, "Long", "12345"), RegError::Ok);
        EXPECT_EQ(registry.DeleteValue(RegRoot::CurrentUser, kKey, "nope"), RegError::NotFound);
    }
    struct stat info {};
    ASSERT_EQ(::stat((dir / "config/Velto/user.reg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((dir / "config/Velto").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    Registry registry(Files());
    EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "SOFTWARE\\velto"));
    EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "Software"));
    uint32_t value = 0;
    EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, "friendmsg", value), RegError::Ok);
    EXPECT_EQ(value, 0xFFFFFFFFu);
    std::string text;
    EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, kKey, "Name", text), RegError::Ok);
    EXPECT_EQ(text, "Zoë");
    // Text read as a 32-bit value: fits only with its terminator in four bytes.
    RegType type = RegType::None;
    EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, "Long", value, &type),
              RegError::MoreData);
    EXPECT_EQ(registry.SetString(RegRoot::CurrentUser, kKey, "Short", "1"), RegError::Ok);
    EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, "Short", value, &type), RegError::Ok);
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_EQ(value, uint32_t{'1'});
    EXPECT_FALSE(std::filesystem::exists(dir / "machine.reg"));  // untouched hive not written
}

// The registry writes only what its reader takes back: a value name of 16,383 bytes is
// saved and read again; a longer name, a key path over 4,096 bytes or a hive over 4 MiB
// is refused before the file is touched, and the values already there stay.
TEST_F(RegistryTest, WhatCouldNotBeReadBackIsNeverSaved) {
    const std::string name(16383, 'n');
    {
        Registry registry(Files());
        ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kKey), RegError::Ok);
        ASSERT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "Kept", 5), RegError::Ok);
        EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, name, 7), RegError::Ok);
    }
    const std::string saved = ReadFileBytes(dir / "config/Velto/user.reg");
    Registry registry(Files());
    uint32_t value = 0;
    ASSERT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, name, value), RegError::Ok);
    EXPECT_EQ(value, 7u);

    EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, name + "n", 8), RegError::InvalidData);
    const std::string path = "Software\\" + std::string(4088, 'k');  // 4,097 bytes
    EXPECT_EQ(registry.CreateKey(RegRoot::CurrentUser, path), RegError::InvalidData);
    EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, path));
    // About 4 MiB of text in one value: with the rest of the hive, more than a hive holds.
    EXPECT_EQ(registry.SetString(RegRoot::CurrentUser, kKey, "Huge", std::string(4194304, 'h')),
              RegError::InvalidData);
    EXPECT_TRUE(ReadFileBytes(dir / "config/Velto/user.reg") == saved) << "the file changed";
    std::string text;
    EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, kKey, "Huge", text), RegError::NotFound);
    ASSERT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, "Kept", value), RegError::Ok);
    EXPECT_EQ(value, 5u);
}

TEST_F(RegistryTest, BadHiveIsRefusedKeptAsideAndNeverOverwritten) {
    std::filesystem::create_directories(dir / "config/Velto");
    const std::string nonsense = "Windows Registry Editor Version 5.00\n\n[Software\\Velto\n";
    WriteFileBytes(dir / "config/Velto/user.reg", nonsense);
    WriteFileBytes(dir / "config/Velto/user.reg.bad-1", "older");
    TraceCapture trace;
    Registry registry(Files());
    EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, kKey));  // runs on defaults
    EXPECT_TRUE(trace.Contains("the hive is refused and defaults apply"));
    EXPECT_TRUE(trace.Contains((dir / "config/Velto/user.reg").string() + " line 3:"));
    EXPECT_EQ(ReadFileBytes(dir / "config/Velto/user.reg.bad-2"), nonsense);
    EXPECT_EQ(ReadFileBytes(dir / "config/Velto/user.reg.bad-1"), "older");
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kKey), RegError::Ok);
    EXPECT_EQ(ReadFileBytes(dir / "config/Velto/user.reg.bad-2"), nonsense);
}

TEST_F(RegistryTest, FailedSaveKeepsOldFileAndValue) {
    // A device that fails every write (also as root, which ignores folder permissions).
    bool failing = false;
    Registry registry(Files(),
                      [&](const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
                          return failing ? EIO : WriteFileAtomically(path, bytes, mode);
                      });
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kKey), RegError::Ok);
    ASSERT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "A", 1), RegError::Ok);
    const std::string before = ReadFileBytes(dir / "config/Velto/user.reg");
    failing = true;
    TraceCapture trace;
    EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "A", 2), RegError::WriteFailed);
    EXPECT_EQ(registry.SetString(RegRoot::CurrentUser, kKey, "B", "x"), RegError::WriteFailed);
    EXPECT_EQ(registry.DeleteValue(RegRoot::CurrentUser, kKey, "A"), RegError::WriteFailed);
    EXPECT_TRUE(trace.Contains("Registry: cannot save " + (dir / "config/Velto/user.reg").string() +
                               ": " + std::strerror(EIO)));
    uint32_t value = 0;
    EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, kKey, "A", value), RegError::Ok);
    EXPECT_EQ(value, 1u);
    std::string text;
    EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, kKey, "B", text), RegError::NotFound);
    EXPECT_EQ(ReadFileBytes(dir / "config/Velto/user.reg"), before);
    failing = false;
    EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "A", 3), RegError::Ok);
    EXPECT_NE(ReadFileBytes(dir / "config/Velto/user.reg"), before);
}

TEST_F(RegistryTest, FolderWithoutWriteAccessFailsTheSave) {
    Registry registry(Files());
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kKey), RegError::Ok);
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores folder permissions (the injected failure above covers it)";
    }
    ::chmod((dir / "config/Velto").c_str(), 0500);
    TraceCapture trace;
    EXPECT_EQ(registry.SetDword(RegRoot::CurrentUser, kKey, "A", 2), RegError::WriteFailed);
    ::chmod((dir / "config/Velto").c_str(), 0700);
}

TEST_F(RegistryTest, AtomicWriteLeavesNoTemporaryFiles) {
    ASSERT_EQ(WriteFileAtomically(dir / "a/b/file", "one", 0600), 0);
    ASSERT_EQ(WriteFileAtomically(dir / "a/b/file", "two", 0644), 0);
    EXPECT_EQ(ReadFileBytes(dir / "a/b/file"), "two");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "a/b"),
                            std::filesystem::directory_iterator()),
              1);
    // The target is a folder: the rename fails and the temporary file goes away again.
    std::filesystem::create_directories(dir / "a/b/folder/x");
    EXPECT_NE(WriteFileAtomically(dir / "a/b/folder", "x", 0600), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "a/b"),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(RegistryTest, RunValueIsMirroredToAnAutostartEntry) {
    Registry registry(Files());
    ASSERT_EQ(registry.CreateKey(RegRoot::CurrentUser, kRunKey), RegError::Ok);
    ASSERT_EQ(registry.SetString(RegRoot::CurrentUser, kRunKey, "XtraVelto",
                                 "/opt/my velto/bin/velto /OnStartUp"),
              RegError::Ok);
    const std::string entry = ReadFileBytes(dir / "autostart/XtraVelto.desktop");
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"/opt/my velto/bin/velto\" /OnStartUp\n"), std::string::npos);
    ASSERT_EQ(registry.DeleteValue(RegRoot::CurrentUser, kRunKey, "XtraVelto"), RegError::Ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "autostart/XtraVelto.desktop"));
}

}  // namespace
}  // namespace velto::platform
