// A damaged hive costs its bad lines, not the hive: every good key and value is kept, the
// bad lines are named, and the file as it was is kept aside.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/HiveFormat.h"
#include "platform/Registry.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string kHive =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[Software\\Velto]\n"
    "\"FriendMsg\"=dword:ffffffff\n"
    "\"Language\"=dword:00000002\n"
    "\n"
    "[Software\\Velto\\Sip]\n"
    "\"Identity\"=\"\\\"Alice\\\" <sip:alice@example.org>\"\n"
    "\"Listen\"=\"0.0.0.0:5060\"\n"
    "\"Blob\"=hex:01,02,\\\n"
    "  03\n";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

size_t ValueCount(const HiveKeys& keys) {
    size_t count = 0;
    for (const auto& key : keys) {
        count += key.values.size();
    }
    return count;
}

TEST(HiveSalvage, EachDamagedValueLineCostsThatValueOnly) {
    const auto whole = std::get<HiveKeys>(ParseHive(kHive));
    ASSERT_EQ(ValueCount(whole), 5u);
    const auto lines = Lines(kHive);
    for (size_t i : {3u, 4u, 7u, 8u, 9u}) {
        auto damaged = lines;
        damaged[i][damaged[i].find('=')] = '~';  // one byte
        const std::string text = Joined(damaged);
        ASSERT_TRUE(std::holds_alternative<HiveParseError>(ParseHive(text))) << text;
        const HiveSalvage kept = SalvageHive(text);
        // Without its "=hex", the continued line's second half stands alone: bad too.
        ASSERT_EQ(kept.bad.size(), i == 9 ? 2u : 1u) << text;
        EXPECT_EQ(kept.bad[0].line, static_cast<int>(i) + 1);
        EXPECT_EQ(kept.keys.size(), 2u);
        EXPECT_EQ(ValueCount(kept.keys), 4u) << text;
    }
    // A good file is kept whole, with nothing to report.
    const HiveSalvage good = SalvageHive(kHive);
    EXPECT_TRUE(good.bad.empty());
    EXPECT_EQ(good.keys, whole);
}

TEST(HiveSalvage, DamagedHeaderKeyLineOrEndAndWhatStaysOfThem) {
    auto lines = Lines(kHive);
    lines[0][0] = 'w';
    HiveSalvage kept = SalvageHive(Joined(lines));
    ASSERT_EQ(kept.bad.size(), 1u);
    EXPECT_EQ(kept.bad[0].line, 1);
    EXPECT_EQ(ValueCount(kept.keys), 5u);

    // No header at all, the first key right away: reported, and still read.
    kept = SalvageHive(kHive.substr(kHive.find('[')));
    ASSERT_EQ(kept.bad.size(), 1u);
    EXPECT_EQ(ValueCount(kept.keys), 5u);

    // The values under a key line that cannot be read belong to no key: left out, each
    // named; the next key is read again.
    lines = Lines(kHive);
    lines[6].pop_back();  // "[Software\Velto\Sip" without its ']'
    kept = SalvageHive(Joined(lines));
    ASSERT_EQ(kept.bad.size(), 4u);
    EXPECT_EQ(kept.bad[0].line, 7);
    EXPECT_EQ(kept.bad[1].message, "value outside of any key");
    EXPECT_EQ(kept.keys.size(), 1u);
    EXPECT_EQ(ValueCount(kept.keys), 2u);

    // Cut short: the last, unfinished line goes.
    kept = SalvageHive(kHive.substr(0, kHive.find("0.0.0.0")));
    ASSERT_EQ(kept.bad.size(), 1u);
    EXPECT_EQ(kept.bad[0].line, 9);
    EXPECT_EQ(ValueCount(kept.keys), 3u);
    // A continued hex line with nothing after it.
    kept = SalvageHive(kHive.substr(0, kHive.find("  03")));
    ASSERT_EQ(kept.bad.size(), 1u);
    EXPECT_EQ(ValueCount(kept.keys), 4u);

    kept = SalvageHive(std::string(4 * 1024 * 1024 + 1, '\n'));
    ASSERT_EQ(kept.bad.size(), 1u);
    EXPECT_TRUE(kept.keys.empty());
    EXPECT_EQ(SalvageHive("").bad.size(), 1u);
}

// The program's user hive with one damaged byte: the SIP identity and every other good
// value stay, the bad line is named, the damaged file is kept as .bad-1 and the hive's
// file is the good part again at once.
TEST(HiveSalvage, TheRegistryKeepsEveryGoodValueOfADamagedHive) {
    test::TempDir dir;
    const auto user = dir / "config/Velto/user.reg";
    std::filesystem::create_directories(user.parent_path());
    auto lines = Lines(kHive);
    lines[3][lines[3].find(':') + 1] = 'z';  // "FriendMsg"=dword:zfffffff
    const std::string damaged = Joined(lines);
    WriteFileBytes(user, damaged);
    TraceCapture trace;
    {
        Registry registry({user, dir / "machine.reg", dir / "autostart"});
        std::string identity;
        EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, "Software\\Velto\\Sip", "Identity",
                                       identity),
                  RegError::Ok);
        EXPECT_EQ(identity, "\"Alice\" <sip:alice@example.org>");
        uint32_t value = 0;
        EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, "Software\\Velto", "Language", value),
                  RegError::Ok);
        EXPECT_EQ(value, 2u);
        EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, "Software\\Velto", "FriendMsg", value),
                  RegError::NotFound);
    }
    EXPECT_TRUE(trace.Contains(user.string() + " line 4: ")) << trace.Text();
    EXPECT_TRUE(trace.Contains("the line is left out"));
    EXPECT_EQ(ReadFileBytes(user.string() + ".bad-1"), damaged);
    const auto saved = ParseHive(ReadFileBytes(user));
    ASSERT_TRUE(std::holds_alternative<HiveKeys>(saved));
    EXPECT_EQ(ValueCount(std::get<HiveKeys>(saved)), 4u);
}

}  // namespace
}  // namespace velto::platform
