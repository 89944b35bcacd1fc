#include "WavTone.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace velto::test {
namespace {

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

void Put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
}

uint32_t Get32(const std::string& in, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(in[at + static_cast<size_t>(i)]);
    }
    return value;
}

constexpr double kSilence = 200.0;  // RMS below this is silence (full scale 32767)

double Rms(const Pcm& pcm, size_t begin, size_t end) {
    double energy = 0;
    for (size_t i = begin; i < end; ++i) {
        energy += double(pcm.samples[i]) * pcm.samples[i];
    }
    return end > begin ? std::sqrt(energy / double(end - begin)) : 0.0;
}

}  // namespace

void WriteSine(const std::filesystem::path& path, int rate, double hz, double seconds) {
    WriteSpeech(path, rate, hz, seconds, -1);
}

void WriteSpeech(const std::filesystem::path& path, int rate, double hz, double seconds,
                 double talkSeconds, double fromSeconds) {
    const auto count = static_cast<uint32_t>(rate * seconds);
    const bool speech = talkSeconds >= 0;
    const auto from = static_cast<uint32_t>(rate * fromSeconds);
    const auto talk = from + static_cast<uint32_t>(rate * std::max(talkSeconds, 0.0));
    const auto syllable = static_cast<uint32_t>(rate / 2);
    std::string out = "RIFF";
    Put32(out, 36 + count * 2);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * 2));
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, count * 2);
    for (uint32_t i = 0; i < count; ++i) {
        const bool paused =
            speech && (i < from || i >= talk || (i - from) % syllable >= syllable * 4 / 5);
        const double value = hz > 0 && !paused ? 12000.0 * std::sin(2 * M_PI * hz * i / rate) : 0.0;
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))));
    }
    std::ofstream(path, std::ios::binary) << out;
}

std::optional<Pcm> ReadPcm(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return std::nullopt;
    }
    Pcm pcm;
    uint16_t channels = 1;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        uint32_t size = Get32(bytes, at + 4);
        at += 8;
        if (id == "fmt " && at + 16 <= bytes.size()) {
            pcm.rate = static_cast<int>(Get32(bytes, at + 4));
            channels = static_cast<uint16_t>(static_cast<uint8_t>(bytes[at + 2]) |
                                             static_cast<uint8_t>(bytes[at + 3]) << 8);
        } else if (id == "data") {
            if (size == 0 || size > bytes.size() - at) {
                size = static_cast<uint32_t>(bytes.size() - at);
            }
            pcm.samples.resize(size / 2);
            std::memcpy(pcm.samples.data(), bytes.data() + at, pcm.samples.size() * 2);
            if (channels == 2) {  // a stereo decoder's output: the mean of both sides
                for (size_t i = 0; i + 1 < pcm.samples.size(); i += 2) {
                    pcm.samples[i / 2] =
                        static_cast<int16_t>((pcm.samples[i] + pcm.samples[i + 1]) / 2);
                }
                pcm.samples.resize(pcm.samples.size() / 2);
            }
            return pcm.rate > 0 ? std::optional<Pcm>(pcm) : std::nullopt;
        }
        at += size + (size & 1);
    }
    return std::nullopt;
}

double ShareAt(const Pcm& pcm, double hz, double from, double to) {
    const auto begin = static_cast<size_t>(std::max(0.0, from) * pcm.rate);
    const auto end = std::min(pcm.samples.size(), static_cast<size_t>(to * pcm.rate));
    if (end <= begin + 8) {
        return 0.0;
    }
    // Goertzel power at hz against the window's whole energy.
    const double k = 2 * M_PI * hz / pcm.rate;
    double re = 0, im = 0, energy = 0;
    for (size_t i = begin; i < end; ++i) {
        const double x = pcm.samples[i];
        re += x * std::cos(k * double(i - begin));
        im += x * std::sin(k * double(i - begin));
        energy += x * x;
    }
    if (energy <= 0) {
        return 0.0;
    }
    return std::min(1.0, 2.0 * (re * re + im * im) / double(end - begin) / energy);
}

double SecondsOf(const Pcm& pcm, double hz, double share) {
    const size_t window = static_cast<size_t>(pcm.rate) / 10;
    double seconds = 0;
    for (size_t at = 0; window > 0 && at + window <= pcm.samples.size(); at += window) {
        const double from = double(at) / pcm.rate;
        if (Rms(pcm, at, at + window) >= kSilence && ShareAt(pcm, hz, from, from + 0.1) >= share) {
            seconds += 0.1;
        }
    }
    return seconds;
}

std::optional<double> FirstTimeOf(const Pcm& pcm, double hz, double share) {
    const size_t window = static_cast<size_t>(pcm.rate) / 10;
    for (size_t at = 0; window > 0 && at + window <= pcm.samples.size(); at += window) {
        const double from = double(at) / pcm.rate;
        if (Rms(pcm, at, at + window) >= kSilence && ShareAt(pcm, hz, from, from + 0.1) >= share) {
            return from;
        }
    }
    return std::nullopt;
}

std::optional<double> FirstSound(const Pcm& pcm) {
    const size_t window = static_cast<size_t>(pcm.rate) / 50;
    for (size_t at = 0; window > 0 && at + window <= pcm.samples.size(); at += window) {
        if (Rms(pcm, at, at + window) >= kSilence) {
            return double(at) / pcm.rate;
        }
    }
    return std::nullopt;
}

}  // namespace velto::test
