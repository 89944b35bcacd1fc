#include "audio/Mp3Decoder.h"

#include <mad.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "audio/BufferedReader.h"
#include "audio/DecodeStatus.h"
#include "audio/DitheredScaler.h"
#include "audio/LittleEndian.h"
#include "audio/MadState.h"
#include "platform/Trace.h"

namespace velto::audio {

namespace {

constexpr size_t kInputBlock = 40960;
constexpr size_t kOutputBlock = 8192;  // a whole number of stereo 16-bit samples

}  // namespace

void MakeStereoWavHeader(uint64_t fileSize, uint32_t sampleRate, unsigned char header[44]) {
    std::memcpy(header, "RIFF", 4);
    PutLe32(header + 4, static_cast<uint32_t>(fileSize - 8));
    std::memcpy(header + 8, "WAVE", 4);
    std::memcpy(header + 12, "fmt ", 4);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, 1);
    PutLe16(header + 22, 2);
    PutLe32(header + 24, sampleRate);
    PutLe32(header + 28, 4 * sampleRate);
    PutLe16(header + 32, 4);
    PutLe16(header + 34, 16);
    std::memcpy(header + 36, "data", 4);
    PutLe32(header + 40, static_cast<uint32_t>(fileSize - 44));
}

namespace {

// The stereo WAV data: left then right, 16-bit little-endian, in 8192-byte blocks. A
// single-channel frame is written with its left value on both sides.
class WavPcmWriter final : public PcmSink {
  public:
    explicit WavPcmWriter(std::FILE* output) : output_(output), block_(kOutputBlock) {}

    void Begin(uint32_t) override {}

    bool Frame(const int32_t* left, const int32_t* right, unsigned length, unsigned) override {
        for (unsigned i = 0; i < length; ++i) {
            const int16_t l = scaler_.Scale(left[i]);
            const int16_t r = right != nullptr ? scaler_.Scale(right[i]) : l;
            unsigned char* p = block_.data() + used_;
            p[0] = static_cast<unsigned char>(l);
            p[1] = static_cast<unsigned char>(static_cast<uint16_t>(l) >> 8);
            p[2] = static_cast<unsigned char>(r);
            p[3] = static_cast<unsigned char>(static_cast<uint16_t>(r) >> 8);
            used_ += 4;
            if (used_ == kOutputBlock) {
                if (std::fwrite(block_.data(), 1, kOutputBlock, output_) != kOutputBlock) {
                    return false;
                }
                used_ = 0;
            }
        }
        return true;
    }

    bool End() override {
        return used_ == 0 || std::fwrite(block_.data(), 1, used_, output_) == used_;
    }

  private:
    std::FILE* output_;
    std::vector<unsigned char> block_;
    size_t used_ = 0;
    DitheredScaler scaler_;
};

// Refills libmad's input from what it left unread and the next bytes of the file, with
// eight zero bytes after the file's last. False when nothing more could be read: `status`
// then says why and `result` is set on a read error.
bool FillInput(mad_stream& stream, BufferedReader& reader, std::vector<unsigned char>& in,
               uint64_t& bytesRead, std::string& status, int& result) {
    size_t remaining = 0;
    if (stream.next_frame != nullptr) {
        remaining = static_cast<size_t>(stream.bufend - stream.next_frame);
        std::memmove(in.data(), stream.next_frame, remaining);
    }
    unsigned char* readStart = in.data() + remaining;
    size_t readSize = reader.Read(readStart, 1, kInputBlock - remaining);
    if (readSize == 0) {
        if (reader.error() != 0) {
            SetStatus(status, "Read error on bit-stream (%s)\n", std::strerror(reader.error()));
            result = kDecodeFailed;
        } else {
            SetStatus(status, "End of input stream\n");
        }
        return false;
    }
    bytesRead += readSize;
    if (reader.AtEnd()) {
        std::memset(readStart + readSize, 0, MAD_BUFFER_GUARD);
        readSize += MAD_BUFFER_GUARD;
    }
    mad_stream_buffer(&stream, in.data(), readSize + remaining);
    stream.error = MAD_ERROR_NONE;
    return true;
}

}  // namespace

int DecodeMp3Stream(std::FILE* input, PcmSink& sink, std::string& status,
                    const DecodeProgress& progress, DecodeStats& stats) {
    MadState mad;
    mad_timer_t playTime = mad_timer_zero;
    BufferedReader reader(input);
    std::vector<unsigned char> in(kInputBlock + MAD_BUFFER_GUARD);
    uint64_t bytesRead = 0;
    int result = kDecodeOk;
    const bool firstChannelOnly = sink.FirstChannelOnly();

    for (;;) {
        mad_stream& stream = mad.stream;
        if ((stream.buffer == nullptr || stream.error == MAD_ERROR_BUFLEN) &&
            !FillInput(stream, reader, in, bytesRead, status, result)) {
            break;
        }

        if (mad_frame_decode(&mad.frame, &stream) != 0) {
            if (MAD_RECOVERABLE(stream.error)) {
                SetStatus(status, "Recoverable frame level error (%s)\n",
                          mad_stream_errorstr(&stream));
                continue;
            }
            if (stream.error == MAD_ERROR_BUFLEN) {
                continue;
            }
            SetStatus(status, "Unrecoverable frame level error (%s).\n",
                      mad_stream_errorstr(&stream));
            result = kDecodeFailed;
            break;
        }

        ++stats.frames;
        mad_timer_add(&playTime, mad.frame.header.duration);
        if (progress) {
            progress(stats.frames, stats.frames, bytesRead);
        }
        if (stats.frames == 1) {
            stats.sampleRate = mad.frame.header.samplerate;
            sink.Begin(stats.sampleRate);
        }

        SynthesizeFrame(mad, firstChannelOnly);
        const mad_pcm& pcm = mad.synth.pcm;
        if (!sink.Frame(pcm.samples[0], pcm.channels == 2 ? pcm.samples[1] : nullptr, pcm.length,
                        MAD_NCHANNELS(&mad.frame.header))) {
            SetStatus(status, "PCM write error (%s).\n", std::strerror(errno));
            result = kDecodeWriteFailed;
            break;
        }
    }

    if (result != kDecodeWriteFailed && !sink.End()) {
        SetStatus(status, "PCM write error (%s).\n", std::strerror(errno));
        result = kDecodeWriteFailed;
    }
    stats.playMs = mad_timer_count(playTime, MAD_UNITS_MILLISECONDS);
    if (result == kDecodeOk) {
        SetDecodedStatus(status, stats.frames, playTime);
    }
    return result;
}

int DecodeMp3Stream(std::FILE* input, std::FILE* output, bool writeWav, std::string& status,
                    const DecodeProgress& progress, DecodeStats& stats) {
    WavPcmWriter writer(output);
    const int result = DecodeMp3Stream(input, writer, status, progress, stats);
    if (!writeWav) {
        stats.sampleRate = 0;
    }
    return result;
}

int DecodeMp3(const std::filesystem::path& input, const std::filesystem::path& output,
              bool writeWav, std::string& status, const DecodeProgress& progress,
              DecodeStats* stats) {
    DecodeStats local;
    DecodeStats& s = stats != nullptr ? *stats : local;
    s = DecodeStats{};
    std::FILE* in = std::fopen(input.c_str(), "rbe");
    if (in == nullptr) {
        SetStatus(status, "%s not found!\n", input.c_str());
        return kDecodeFailed;
    }
    std::FILE* out = std::fopen(output.c_str(), "wbe");
    if (out == nullptr) {
        SetStatus(status, "Couldn't open %s for write!\n", output.c_str());
        std::fclose(in);
        return kDecodeFailed;
    }
    unsigned char header[44] = {};
    int result = kDecodeOk;
    if (writeWav && std::fwrite(header, 1, sizeof header, out) != sizeof header) {
        SetStatus(status, "PCM write error (%s).\n", std::strerror(errno));
        result = kDecodeWriteFailed;
    } else {
        result = DecodeMp3Stream(in, out, writeWav, status, progress, s);
    }
    std::fclose(in);
    const bool closed = std::fclose(out) == 0;
    if (!closed && result != kDecodeWriteFailed) {
        SetStatus(status, "PCM write error (%s).\n", std::strerror(errno));
        result = kDecodeWriteFailed;
    }
    if (writeWav) {
        std::error_code ec;
        const uint64_t size = std::filesystem::file_size(output, ec);
        MakeStereoWavHeader(ec ? 44 : size, s.sampleRate, header);
        std::FILE* fix = std::fopen(output.c_str(), "r+be");
        const bool written = fix != nullptr && std::fwrite(header, 1, 44, fix) == 44;
        const bool fixClosed = fix != nullptr && std::fclose(fix) == 0;
        if ((!written || !fixClosed || ec) && result != kDecodeWriteFailed) {
            SetStatus(status, "PCM write error (%s).\n", std::strerror(errno != 0 ? errno : EIO));
            result = kDecodeWriteFailed;
        }
    }
    return result;
}

int DecodeToWav(const std::filesystem::path& input, const std::filesystem::path& output,
                DecodeStats* stats) {
    std::string status;
    const int result = DecodeMp3(input, output, true, status, {}, stats);
    platform::Trace("%s", status.c_str());
    return result;
}

}  // namespace velto::audio
