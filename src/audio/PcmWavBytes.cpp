#include "audio/PcmWavBytes.h"

namespace velto::audio {
namespace {

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string PcmWavHeader(uint32_t rate, uint16_t channels, uint16_t bitsPerSample,
                         uint32_t dataBytes) {
    const uint32_t block = channels * ((bitsPerSample + 7u) / 8u);
    std::string header;
    header.reserve(44);
    header += "RIFF";
    Put32(header, 36 + dataBytes);  // the file's size less these first 8 bytes
    header += "WAVEfmt ";
    Put32(header, 16);
    Put16(header, 1);  // integer PCM
    Put16(header, channels);
    Put32(header, rate);
    Put32(header, rate * block);
    Put16(header, static_cast<uint16_t>(block));
    Put16(header, bitsPerSample);
    header += "data";
    Put32(header, dataBytes);
    return header;
}

std::string PcmWavBytes(PcmFormat format, std::span<const int16_t> samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string wav = PcmWavHeader(format.rate, format.channels, 16, dataBytes);
    wav.reserve(44 + dataBytes);
    for (int16_t sample : samples) {
        Put16(wav, static_cast<uint16_t>(sample));
    }
    return wav;
}

}  // namespace velto::audio
