#include "audio/ToneConversion.h"

#include "platform/Trace.h"

namespace velto::audio {

namespace {

template <typename Char>
bool EndsWithMp3(std::basic_string_view<Char> name) {
    if (name.size() < 3) {
        return false;
    }
    const char wanted[] = "mp3";
    for (size_t i = 0; i < 3; ++i) {
        Char c = name[name.size() - 3 + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<Char>(c - 'A' + 'a');
        }
        if (c != static_cast<Char>(wanted[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsMp3Name(std::u16string_view name) {
    return EndsWithMp3(name);
}
bool IsMp3Name(std::string_view name) {
    return EndsWithMp3(name);
}

uint64_t ToneReport::InputMs() const {
    if (decoded) {
        return decodeStats.playMs;
    }
    return convert.inputRate == 0 ? 0 : convert.inputFrames * 1000 / convert.inputRate;
}

ToneReport MakeTone(const std::filesystem::path& source, bool isMp3,
                    const std::filesystem::path& wavScratch, const std::filesystem::path& out) {
    ToneReport report;
    std::filesystem::path current = source;
    if (isMp3) {
        report.decoded = true;
        report.decodeResult =
            DecodeMp3(source, wavScratch, true, report.decodeStatus, {}, &report.decodeStats);
        platform::Trace("%s", report.decodeStatus.c_str());
        current = wavScratch;
    }
    report.convert = ConvertToTelephoneRate(current, out);
    if (isMp3 && report.decodeStats.frames == 0) {
        report.failure = "no MP3 frame could be decoded";
    } else if (isMp3 && report.decodeResult == kDecodeWriteFailed) {
        report.failure = "the decoded sound could not be written";
    } else if (report.convert.status == TelephoneRateResult::kOpenFailed) {
        report.failure = "the converter could not open its files";
    } else if (report.convert.status == TelephoneRateResult::kHeaderNotOk) {
        report.failure = "the input is shorter than a WAV header";
    } else if (report.convert.status == TelephoneRateResult::kNoFormat) {
        report.failure = "the WAV header gives no sample rate or channel count";
    } else if (report.convert.status == TelephoneRateResult::kWriteFailed) {
        report.failure = "the tone file could not be written";
    } else if (report.convert.samples == 0) {
        report.failure = "the tone has no samples";
    }
    return report;
}

}  // namespace velto::audio
