#include <gtest/gtest.h>

#include <sstream>

#include "calls/MissedCallFile.h"
#include "support/TempDir.h"
#include "velto-inspect/Inspect.h"

namespace velto::inspect {
namespace {

TEST(InspectMissed, PrintsEveryRecordReadableAndAsJson) {
    test::TempDir dir;
    const auto file = dir / "MissedCalls";
    test::WriteFileBytes(file, calls::EncodeMissedCalls(
                                   {{"alice", "2027/01/15 08:00:00", false, u"", false, true},
                                    {"bob", "2027/01/15 08:01:00", true, u"/v/recorded_bob.wav"},
                                    {"carol", "2027/01/15 08:02:00", true, u"/v/c.wav", true}}));
    std::ostringstream out, err;
    ASSERT_EQ(RunInspect({"missed", file.string()}, out, err), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "missed-call file: \"" + file.string() +
                             "\" (108 bytes)\nrecords: 3\n"
                             "  1: \"alice\" at \"2027/01/15 08:00:00\", no voice message, "
                             "refused busy\n"
                             "  2: \"bob\" at \"2027/01/15 08:01:00\", voice message "
                             "\"/v/recorded_bob.wav\" (new)\n"
                             "  3: \"carol\" at \"2027/01/15 08:02:00\", voice message "
                             "\"/v/c.wav\" (heard)\n");
    std::ostringstream json;
    ASSERT_EQ(RunInspect({"missed", "--json", file.string()}, json, err), kExitOk);
    EXPECT_EQ(json.str(),
              "{\"records\":[{\"handle\":\"alice\",\"time\":\"2027/01/15 08:00:00\","
              "\"hasVoiceMessage\":false,\"busy\":true},{\"handle\":\"bob\",\"time\":"
              "\"2027/01/15 08:01:00\",\"hasVoiceMessage\":true,\"voiceFile\":"
              "\"/v/recorded_bob.wav\",\"heard\":false,\"busy\":false},{\"handle\":\"carol\","
              "\"time\":\"2027/01/15 08:02:00\",\"hasVoiceMessage\":true,\"voiceFile\":"
              "\"/v/c.wav\",\"heard\":true,\"busy\":false}]}\n");

    test::WriteFileBytes(file, "alice\n2027");
    std::ostringstream none, why;
    EXPECT_EQ(RunInspect({"missed", file.string()}, none, why), kExitMalformed);
    EXPECT_EQ(why.str(), "velto-inspect: " + file.string() +
                             ": malformed missed-call file: record 1: time has no line end\n");
    EXPECT_EQ(RunInspect({"missed"}, none, why), kExitUsage);
}

}  // namespace
}  // namespace velto::inspect
