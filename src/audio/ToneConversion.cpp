#include "audio/ToneConversion.h"

#include <cerrno>

#include "audio/RandomAccessInput.h"
#include "audio/RangeDecoding.h"
#include "audio/TelephoneRateWriter.h"
#include "platform/TempFile.h"
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

namespace {

// Why `out` is not a usable tone file, or empty when it is.
std::string FailureOf(const ToneReport& report) {
    if (report.decoded && report.decodeStats.frames == 0) {
        return "no MP3 frame could be decoded";
    }
    if (report.decoded && report.decodeResult == kDecodeWriteFailed) {
        return "the decoded sound could not be written";
    }
    switch (report.convert.status) {
        case TelephoneRateResult::kOpenFailed:
            return "the converter could not open its files";
        case TelephoneRateResult::kHeaderNotOk:
            return "the input is shorter than a WAV header";
        case TelephoneRateResult::kNoFormat:
            return "the WAV header gives no sample rate or channel count";
        case TelephoneRateResult::kWriteFailed:
            return "the tone file could not be written";
        case TelephoneRateResult::kOk:
            break;
    }
    return report.convert.samples == 0 ? "the tone has no samples" : "";
}

// Decodes for the status text and counts only, when the tone file cannot be opened.
class DiscardingSink final : public PcmSink {
  public:
    void Begin(uint32_t) override {}
    bool Frame(const int32_t*, const int32_t*, unsigned, unsigned) override { return true; }
    bool End() override { return true; }
    bool FirstChannelOnly() const override { return true; }
};

// Passes the decoder's frames on until `stopped` says so; the decoder then ends as after a
// failed write.
class StoppableSink final : public PcmSink {
  public:
    StoppableSink(PcmSink& inner, const std::function<bool()>& stopped)
        : inner_(inner), stopped_(stopped) {}
    void Begin(uint32_t sampleRate) override { inner_.Begin(sampleRate); }
    bool Frame(const int32_t* left, const int32_t* right, unsigned length,
               unsigned channels) override {
        if (stopped_ && stopped_()) {
            stoppedEarly = true;
            errno = ECANCELED;
            return false;
        }
        return inner_.Frame(left, right, length, channels);
    }
    bool End() override { return inner_.End(); }
    bool FirstChannelOnly() const override { return inner_.FirstChannelOnly(); }

    bool stoppedEarly = false;

  private:
    PcmSink& inner_;
    const std::function<bool()>& stopped_;
};

// Decodes an MP3 file for a sink of the first channel: ranges of frames on two threads when
// the file is long enough and the process has the processors, else one pass; the same
// samples either way.
int DecodeForTone(std::FILE* in, PcmSink& sink, std::string& status, DecodeStats& stats) {
    if (const auto source = RegularFileInput(in)) {
        const RangePlan plan = RangePlan::For(*source);
        if (plan.threads >= 2) {
            return DecodeMp3Ranges(*source, sink, status, stats, plan);
        }
    }
    return DecodeMp3Stream(in, sink, status, {}, stats);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

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
    report.failure = FailureOf(report);
    return report;
}

ToneReport MakeToneDirect(const std::filesystem::path& source, bool isMp3,
                          const std::filesystem::path& out, const std::function<bool()>& stopped) {
    if (!isMp3) {
        return MakeTone(source, false, {}, out);
    }
    ToneReport report;
    report.decoded = true;
    std::FILE* in = std::fopen(source.c_str(), "rbe");
    if (in == nullptr) {
        // The scratch WAV would stay empty: the converter finds no header.
        report.decodeResult = kDecodeFailed;
        report.decodeStatus = source.string() + " not found!\n";
        platform::Trace("%s", report.decodeStatus.c_str());
        std::FILE* tone = std::fopen(out.c_str(), "wbe");
        if (tone == nullptr) {
            platform::Trace("Fail open\n");
            report.convert.status = TelephoneRateResult::kOpenFailed;
        } else {
            platform::Trace("header not OK\n");
            report.convert.status = TelephoneRateResult::kHeaderNotOk;
            std::fclose(tone);
        }
        report.failure = FailureOf(report);
        return report;
    }
    if (SameFile(source, out)) {
        // Opening the tone file would empty the source before it is read: go through a
        // scratch WAV instead.
        std::fclose(in);
        std::error_code ec;
        const auto scratch =
            platform::CreateTempFile(std::filesystem::temp_directory_path(ec), "SKY");
        if (scratch) {
            platform::TempFileGuard guard(*scratch);
            return MakeTone(source, true, *scratch, out);
        }
        in = std::fopen(source.c_str(), "rbe");
        if (in == nullptr) {
            return MakeTone(source, true, {}, out);
        }
    }
    std::FILE* tone = SameFile(source, out) ? nullptr : std::fopen(out.c_str(), "wbe");
    if (tone == nullptr) {
        // Still decode, for the status text and the counts.
        DiscardingSink discard;
        report.decodeResult = DecodeForTone(in, discard, report.decodeStatus, report.decodeStats);
        std::fclose(in);
        platform::Trace("%s", report.decodeStatus.c_str());
        platform::Trace("Fail open\n");
        report.convert.status = TelephoneRateResult::kOpenFailed;
        report.failure = FailureOf(report);
        return report;
    }
    TelephoneRateWriter writer(tone);
    StoppableSink sink(writer, stopped);
    report.decodeResult = DecodeForTone(in, sink, report.decodeStatus, report.decodeStats);
    std::fclose(in);
    platform::Trace("%s", report.decodeStatus.c_str());
    report.convert = writer.Finish();
    if (std::fclose(tone) != 0 && report.convert.status == TelephoneRateResult::kOk) {
        platform::Trace("Telephone-rate converter: write error\n");
        report.convert.status = TelephoneRateResult::kWriteFailed;
    }
    report.failure = sink.stoppedEarly ? "stopped before the end" : FailureOf(report);
    return report;
}

}  // namespace velto::audio
