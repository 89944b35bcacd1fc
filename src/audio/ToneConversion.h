#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "audio/Mp3Decoder.h"
#include "audio/TelephoneRateConverter.h"

namespace velto::audio {

// A name counts as MP3 when its last three characters are "mp3", in any case.
bool IsMp3Name(std::u16string_view name);
bool IsMp3Name(std::string_view name);

// What became of one source on its way to a tone file.
struct ToneReport {
    bool decoded = false;  // the source went through the MP3 decoder
    int decodeResult = kDecodeOk;
    std::string decodeStatus;
    DecodeStats decodeStats;
    TelephoneRateResult convert;
    // Empty when `out` is a usable tone file, else why not.
    std::string failure;

    bool Usable() const { return failure.empty(); }
    uint64_t InputMs() const;
    uint64_t OutputMs() const { return convert.samples * 1000 / kToneRate; }
};

// The conversion of a picked file in two steps: an MP3 is decoded into `wavScratch` and then
// brought to telephone rate, anything else goes to the converter directly. `out` is usable
// only when the decoder produced frames and wrote them, and the converter took the header
// and wrote samples.
ToneReport MakeTone(const std::filesystem::path& source, bool isMp3,
                    const std::filesystem::path& wavScratch, const std::filesystem::path& out);

// The same conversion with the decoder's samples fed straight to the converter, without the
// scratch WAV: the same tone file byte for byte, the same status texts and report, in less
// time. (Only a failure to write the scratch WAV, which cannot happen here, differs.)
// `stopped`, when given, is asked for every decoded frame: true ends the conversion there,
// with no usable tone (the program is quitting).
ToneReport MakeToneDirect(const std::filesystem::path& source, bool isMp3,
                          const std::filesystem::path& out,
                          const std::function<bool()>& stopped = {});

}  // namespace velto::audio
