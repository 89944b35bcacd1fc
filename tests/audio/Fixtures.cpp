#include "Fixtures.h"

#include <cstdlib>

namespace velto::audio::test {

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s += static_cast<char>(v >> (8 * i));
    }
}
void Put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v);
    s += static_cast<char>(v >> 8);
}
}  // namespace

std::string MakeWav(uint32_t rate, uint16_t channels, const std::vector<int16_t>& samples) {
    std::string s = "RIFF";
    Put32(s, static_cast<uint32_t>(36 + 2 * samples.size()));
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);
    Put16(s, channels);
    Put32(s, rate);
    Put32(s, rate * channels * 2);
    Put16(s, static_cast<uint16_t>(channels * 2));
    Put16(s, 16);
    s += "data";
    Put32(s, static_cast<uint32_t>(2 * samples.size()));
    for (const int16_t v : samples) {
        Put16(s, static_cast<uint16_t>(v));
    }
    return s;
}

std::vector<int16_t> SamplesOf(const std::string& wav) {
    std::vector<int16_t> out;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) {
        out.push_back(static_cast<int16_t>(Le16At(wav, i)));
    }
    return out;
}

uint32_t Le32At(const std::string& b, size_t o) {
    return uint32_t{static_cast<unsigned char>(b[o])} |
           uint32_t{static_cast<unsigned char>(b[o + 1])} << 8 |
           uint32_t{static_cast<unsigned char>(b[o + 2])} << 16 |
           uint32_t{static_cast<unsigned char>(b[o + 3])} << 24;
}

uint16_t Le16At(const std::string& b, size_t o) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[o]) |
                                 static_cast<unsigned char>(b[o + 1]) << 8);
}

}  // namespace velto::audio::test
