// MP3 frames decoded in ranges on two threads against one decoder from the start, over
// arbitrary bytes: the first channel's samples, the frames' channel counts, the stats and
// the status text must be the same. The ranges are a few frames long, so that hand-overs,
// ranges without an anchor and damage inside a range all occur in small inputs; the first
// byte picks the range length and the warm-up.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/Mp3Decoder.h"
#include "audio/RandomAccessInput.h"
#include "audio/RangeDecoding.h"
#include "platform/Trace.h"

namespace {

using namespace velto::audio;

class RecordingSink final : public PcmSink {
  public:
    explicit RecordingSink(bool firstOnly) : firstOnly_(firstOnly) {}
    void Begin(uint32_t rate) override { record.push_back(static_cast<int32_t>(rate)); }
    bool Frame(const int32_t* left, const int32_t*, unsigned length, unsigned channels) override {
        record.push_back(static_cast<int32_t>(length * 4 + channels));
        record.insert(record.end(), left, left + length);
        return true;
    }
    bool End() override { return true; }
    bool FirstChannelOnly() const override { return firstOnly_; }
    std::vector<int32_t> record;

  private:
    bool firstOnly_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    velto::platform::TraceCapture quiet;
    RangePlan plan;
    plan.threads = 2;
    plan.rangeBytes = 600 + 300 * (data[0] & 0x0F);
    plan.warmupBytes = 200 * (data[0] >> 4);
    std::vector<uint8_t> bytes(data + 1, data + size);

    std::FILE* in = fmemopen(bytes.data(), bytes.size(), "rb");
    if (in == nullptr) {
        std::abort();
    }
    RecordingSink reference(false);
    std::string status;
    DecodeStats stats;
    const int result = DecodeMp3Stream(in, reference, status, {}, stats);
    std::fclose(in);

    MemoryInput source(bytes.data(), bytes.size());
    RecordingSink ranges(true);
    std::string rangeStatus;
    DecodeStats rangeStats;
    const int rangeResult = DecodeMp3Ranges(source, ranges, rangeStatus, rangeStats, plan);
    if (rangeResult != result || rangeStatus != status || rangeStats.frames != stats.frames ||
        rangeStats.playMs != stats.playMs || rangeStats.sampleRate != stats.sampleRate ||
        ranges.record != reference.record) {
        std::abort();
    }
    return 0;
}
