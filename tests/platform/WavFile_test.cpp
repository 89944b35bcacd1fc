#include "platform/WavFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace velto::platform {
namespace {

std::string Le32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

std::string Le16(uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

// A RIFF/WAVE file: a format chunk of `fmtSize` bytes (the 16 of PCM, padded with zeros
// or cut), then a data chunk announcing `dataSize` bytes and holding `present` of them.
std::string Wav(uint32_t fmtSize, uint16_t channels, uint16_t bits, uint32_t dataSize,
                size_t present) {
    std::string fmt = Le16(1) + Le16(channels) + Le32(8000) + Le32(8000 * channels * bits / 8) +
                      Le16(static_cast<uint16_t>(channels * bits / 8)) + Le16(bits);
    fmt.resize(fmtSize, '\0');
    if (fmtSize % 2) {
        fmt += '\0';  // chunks are padded to an even size
    }
    const std::string body =
        "WAVEfmt " + Le32(fmtSize) + fmt + "data" + Le32(dataSize) + std::string(present, '\x11');
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

// The reader's limits at their edges: a format chunk of 16 bytes (PCM's) is enough and 15
// are not; 8 and 16 bits are played, 7, 9 and 17 not; 1 channel is, 0 is not; a data size
// is taken as announced up to the bytes present, not one byte more.
TEST(WavFile, LayoutLimitsHoldFromBothSides) {
    test::TempDir dir;
    const auto file = dir / "t.wav";
    std::string error;
    const auto read = [&](const std::string& bytes) {
        test::WriteFileBytes(file, bytes);
        error.clear();
        return ReadWavLayout(file, &error);
    };

    const auto plain = read(Wav(16, 1, 16, 100, 100));
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->dataOffset, 44u);
    EXPECT_EQ(plain->dataBytes, 100u);
    EXPECT_EQ(plain->channels, 1u);
    EXPECT_EQ(plain->sampleRate, 8000u);
    EXPECT_EQ(plain->bitsPerSample, 16u);
    EXPECT_FALSE(read(Wav(15, 1, 16, 100, 100)));
    EXPECT_EQ(error, "format chunk too short");
    const auto padded = read(Wav(17, 1, 16, 100, 100));  // 17 bytes and a pad byte
    ASSERT_TRUE(padded) << error;
    EXPECT_EQ(padded->dataOffset, 46u);

    for (uint16_t bits : {8, 16}) {
        EXPECT_TRUE(read(Wav(16, 2, bits, 100, 100))) << bits << ": " << error;
    }
    for (uint16_t bits : {7, 9, 17}) {
        EXPECT_FALSE(read(Wav(16, 2, bits, 100, 100))) << bits;
        EXPECT_EQ(error, "unsupported sample layout");
    }
    EXPECT_FALSE(read(Wav(16, 0, 16, 100, 100)));
    EXPECT_EQ(error, "unsupported sample layout");

    EXPECT_EQ(read(Wav(16, 1, 16, 100, 101))->dataBytes, 100u);
    EXPECT_EQ(read(Wav(16, 1, 16, 101, 100))->dataBytes, 100u);
    EXPECT_EQ(read(Wav(16, 1, 16, 0xFFFFFFFF, 100))->dataBytes, 100u);
    EXPECT_EQ(read(Wav(16, 1, 16, 0, 100))->dataBytes, 0u);

    // Cut inside the RIFF header, or before the data chunk's header is whole.
    const std::string whole = Wav(16, 1, 16, 100, 100);
    EXPECT_FALSE(read(whole.substr(0, 11)));
    EXPECT_EQ(error, "not a RIFF WAVE file");
    EXPECT_FALSE(read(whole.substr(0, 43)));
    EXPECT_EQ(error, "no data chunk");
    EXPECT_TRUE(read(whole.substr(0, 44))) << error;
}

}  // namespace
}  // namespace velto::platform
