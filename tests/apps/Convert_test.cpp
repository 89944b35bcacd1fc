// velto-convert's promise about OUT: a failure leaves no file behind, and an existing OUT
// is replaced only by a complete, usable tone.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "audio/Fixtures.h"
#include "support/TempDir.h"
#include "velto-convert/ConvertCommand.h"

namespace velto::convert {
namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Convert(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunConvert(args, out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Tone() {
    std::vector<int16_t> samples(8000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>((i % 40) * 500 - 10000);
    }
    return audio::test::MakeWav(8000, 1, samples);  // one second
}

TEST(Convert, AFailureLeavesNoFileAndAnExistingOutAsItWas) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "notes.txt", "these are not sounds\n");
    test::WriteFileBytes(dir / "bad.mp3", std::string(5000, 'x'));

    const Outcome text = Convert({(dir / "notes.txt").string(), (dir / "new.wav").string()});
    EXPECT_EQ(text.code, 1);
    EXPECT_NE(text.err.find("gives no usable tone"), std::string::npos) << text.err;
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"bad.mp3", "notes.txt"}));

    const Outcome missing = Convert({(dir / "absent.mp3").string(), (dir / "new.wav").string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"bad.mp3", "notes.txt"}));

    const std::string old = Tone();
    test::WriteFileBytes(dir / "old.wav", old);
    for (const char* source : {"notes.txt", "bad.mp3"}) {
        for (const bool twoStep : {false, true}) {
            std::vector<std::string> args = {(dir / source).string(), (dir / "old.wav").string()};
            if (twoStep) {
                args.insert(args.begin(), "--two-step");
            }
            EXPECT_EQ(Convert(args).code, 1) << source;
            EXPECT_EQ(test::ReadFileBytes(dir / "old.wav"), old) << source;
        }
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"bad.mp3", "notes.txt", "old.wav"}));

    // A folder that does not exist: a clear line, nothing made.
    const Outcome noFolder = Convert({(dir / "old.wav").string(), (dir / "no/t.wav").string()});
    EXPECT_EQ(noFolder.code, 1);
    EXPECT_NE(noFolder.err.find("cannot write in the folder of"), std::string::npos)
        << noFolder.err;
}

TEST(Convert, ASuccessReplacesOutWithACompleteToneEvenInPlace) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "in.wav", Tone());
    test::WriteFileBytes(dir / "out.wav", "an older file, longer than a header: ........");
    const mode_t mask = ::umask(022);

    const Outcome json = Convert({"--json", (dir / "in.wav").string(), (dir / "out.wav").string()});
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_NE(json.out.find("\"usable\":true"), std::string::npos) << json.out;
    const std::string tone = test::ReadFileBytes(dir / "out.wav");
    ASSERT_EQ(tone.size(), 44u + 2 * 16000);  // one second at 16000 samples per second
    EXPECT_EQ(audio::test::Le32At(tone, 24), 16000u);
    EXPECT_EQ(audio::test::Le16At(tone, 22), 1u);
    EXPECT_EQ(audio::test::Le16At(tone, 34), 16u);
    EXPECT_EQ(std::filesystem::status(dir / "out.wav").permissions(), std::filesystem::perms(0644));

    // The source itself as OUT: read in full before it is replaced.
    EXPECT_EQ(Convert({(dir / "in.wav").string(), (dir / "in.wav").string()}).code, 0);
    EXPECT_EQ(test::ReadFileBytes(dir / "in.wav"), tone);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"in.wav", "out.wav"}));
    ::umask(mask);
}

}  // namespace
}  // namespace velto::convert
