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

std::string PcmWavBytes(PcmFormat format, std::span<const int16_t> samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t block = format.channels * 2u;
    std::string wav;
    wav.reserve(44 + dataBytes);
    wav += "RIFF";
    Put32(wav, 36 + dataBytes);  // the file's size less these first 8 bytes
    wav += "WAVEfmt ";
    Put32(wav, 16);
    Put16(wav, 1);  // integer PCM
    Put16(wav, format.channels);
    Put32(wav, format.rate);
    Put32(wav, format.rate * block);
    Put16(wav, block);
    Put16(wav, 16);
    wav += "data";
    Put32(wav, dataBytes);
    for (int16_t sample : samples) {
        Put16(wav, static_cast<uint16_t>(sample));
    }
    return wav;
}

}  // namespace velto::audio
