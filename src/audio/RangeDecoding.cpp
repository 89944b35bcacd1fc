// Decoding ranges of an MP3's frames on several threads, byte for byte as one decoder from
// the start would.
//
// A range's decoder starts a little before its range and reads frames until its state is
// the one the whole-file decoder has at the same frame: libmad's state between frames is
// the bit reservoir (at most 511 bytes of the frames before), each channel's overlap (from
// the last frame alone) and the synthesis filter (the last 16 of a frame's 36, 18 or 12
// slots). So once an unbroken sequence of frames has given the reservoir 511 bytes and two
// more frames have been decoded, the state no longer depends on where decoding began. The
// first frame after that, inside the range, is its anchor. The previous range's decoder
// goes on up to that anchor, and it is handed over only when that decoder read the very
// same frames before it (else the earlier decoder simply goes on). Where an input window
// begins matters only when libmad leaves the frame sequence (lost sync, bad header, free
// format); a range's decoder stops before such a step, and it is taken on this thread in
// the windows the whole-file decoder would have had, which are followed frame by frame.
#include "audio/RangeDecoding.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "audio/DecodeStatus.h"
#include "audio/FrameDecoder.h"
#include "audio/RangeWarmUp.h"
#include "audio/SampleStore.h"
#include "audio/SequentialWindow.h"

namespace velto::audio {

namespace {

// Ranges between the one being passed to the sink (included) and the last one started.
constexpr size_t kRangesInFlight = 3;
// A range holds about this many first-channel samples (4 bytes each) at the file's start
// rate: the memory of three ranges stays a few megabytes whatever the bit rate.
constexpr uint64_t kRangeSamples = 300000;

using Event = FrameDecoder::Event;

// A frame of a range; `samples` are its first channel's, in the range's store.
struct RangeFrame {
    uint64_t offset = 0;
    uint32_t size = 0;
    bool decoded = false;
    uint8_t channels = 0;
    uint16_t length = 0;
    uint32_t sampleRate = 0;
    mad_timer_t duration = mad_timer_zero;
    const int32_t* samples = nullptr;
};

enum class Stop {
    kAtNext,        // at a header at or after the next range's anchor (its frame not decoded)
    kNoNextAnchor,  // at a header in the next range, which found no anchor
    kIrregular,     // before a step that depends on the windows
    kEnd,
    kReadError,
    kFatal,
    kWriteFailed,
    kCancelled,
};

enum class AnchorState { kUnknown, kFound, kNone };

struct Range {
    uint64_t start = 0;
    uint64_t decodeFrom = 0;
    // Published under the mutex, before the range is done.
    AnchorState anchorState = AnchorState::kUnknown;
    uint64_t anchor = 0;
    std::vector<uint64_t> run;  // header offsets of the warm-up sequence, the anchor last
    bool done = false;
    std::atomic<bool> abandoned{false};
    // The decoder's output, read once done.
    std::vector<RangeFrame> frames;
    SampleStore pcm;
    std::vector<uint64_t> tail;  // its header offsets from the next range's decodeFrom on
    Stop stop = Stop::kEnd;
    std::unique_ptr<FrameDecoder> decoder;
};

// Drops what a range decoded, once it is applied or given up.
void FreeOutput(Range& range) {
    std::vector<RangeFrame>().swap(range.frames);
    range.pcm.Clear();
    std::vector<uint64_t>().swap(range.tail);
    range.decoder.reset();
}

Stop StopOf(Event event) {
    switch (event) {
        case Event::kIrregular:
            return Stop::kIrregular;
        case Event::kReadError:
            return Stop::kReadError;
        case Event::kFatal:
            return Stop::kFatal;
        default:
            return Stop::kEnd;
    }
}

}  // namespace

namespace {

class RangeDecoding {
  public:
    RangeDecoding(const RandomAccessInput& source, PcmSink& sink, const RangePlan& plan);
    ~RangeDecoding() { StopWorkers(); }
    int Run(std::string& status, DecodeStats& stats);
    size_t handedOver() const { return handedOver_; }

  private:
    // Worker threads.
    void Work();
    void DecodeRange(size_t index);
    bool FindAnchor(Range& range, size_t index, FrameDecoder& decoder);
    Stop DecodeOwned(Range& range, size_t index, FrameDecoder& decoder);
    void Publish(Range& range, AnchorState state, uint64_t anchor, std::vector<uint64_t> run);
    std::pair<AnchorState, uint64_t> WaitAnchor(size_t index);

    // The calling thread: the frames in order into the sink.
    Stop Follow(std::unique_ptr<FrameDecoder>& exact, Stop stop, std::vector<uint64_t>& tail);
    Stop Continue(FrameDecoder& decoder, std::vector<uint64_t>& tail);
    bool AtTarget(uint64_t offset, std::vector<uint64_t>& tail);
    bool HandsOver(uint64_t offset, const std::vector<uint64_t>& tail);
    bool ToSequentialWindow(FrameDecoder& decoder, Stop stop, Stop& failed);
    bool ApplyRange(const Range& range, bool followWindow);
    bool Apply(const int32_t* left, const int32_t* right, unsigned length, unsigned channels,
               uint32_t sampleRate, mad_timer_t duration);
    void WaitDone(size_t index);
    void Release(size_t index);
    bool StartWorkers();
    void StopWorkers();
    int Conclude(Stop stop, const FrameDecoder& last, std::string& status);

    const RandomAccessInput& source_;
    PcmSink& sink_;
    const RangePlan plan_;
    std::vector<std::unique_ptr<Range>> ranges_;
    std::vector<std::thread> workers_;

    std::mutex mutex_;
    std::condition_variable changed_;
    size_t next_ = 0;      // the next range to start
    size_t released_ = 0;  // ranges below are passed to the sink or given up
    bool cancelled_ = false;

    // The calling thread's own.
    size_t target_ = 1;  // the next range that may take over
    SequentialWindow window_;
    unsigned long freeRate_ = 0;
    DecodeStats stats_;
    mad_timer_t playTime_ = mad_timer_zero;
    int writeErrno_ = 0;
    size_t handedOver_ = 0;
};

RangeDecoding::RangeDecoding(const RandomAccessInput& source, PcmSink& sink, const RangePlan& plan)
    : source_(source), sink_(sink), plan_(plan), window_(source.Size()) {
    const uint64_t size = source.Size();
    if (plan.threads < 2 || plan.rangeBytes == 0 || !sink.FirstChannelOnly() ||
        size <= plan.rangeBytes) {
        return;
    }
    for (uint64_t start = 0; start < size; start += plan.rangeBytes) {
        auto range = std::make_unique<Range>();
        range->start = start;
        range->decodeFrom = start - std::min(start, plan.warmupBytes);
        ranges_.push_back(std::move(range));
    }
}

int RangeDecoding::Run(std::string& status, DecodeStats& stats) {
    stats_ = stats;
    std::unique_ptr<FrameDecoder> exact;
    std::vector<uint64_t> tail;
    Stop stop = Stop::kEnd;
    if (!ranges_.empty() && !StartWorkers()) {
        ranges_.clear();
    }
    if (ranges_.empty()) {
        exact = std::make_unique<FrameDecoder>(source_, 0, sink_.FirstChannelOnly());
        target_ = 0;
        stop = Continue(*exact, tail);
    } else {
        WaitDone(0);
        Range& first = *ranges_[0];
        stop = ApplyRange(first, false) ? first.stop : Stop::kWriteFailed;
        exact = std::move(first.decoder);
        tail = std::move(first.tail);
        window_.Set(exact->WindowStart(), exact->WindowEnd());
        freeRate_ = exact->FreeRate();
        Release(0);
        if (stop != Stop::kWriteFailed) {
            stop = Follow(exact, stop, tail);
        }
    }
    StopWorkers();
    const int result = Conclude(stop, *exact, status);
    stats = stats_;
    return result;
}

}  // namespace

namespace {

void RangeDecoding::Work() {
    for (;;) {
        size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] {
                return cancelled_ || next_ >= ranges_.size() || next_ < released_ + kRangesInFlight;
            });
            if (cancelled_ || next_ >= ranges_.size()) {
                return;
            }
            index = next_++;
        }
        DecodeRange(index);
    }
}

void RangeDecoding::DecodeRange(size_t index) {
    Range& range = *ranges_[index];
    auto decoder = std::make_unique<FrameDecoder>(source_, range.decodeFrom, true);
    Stop stop = Stop::kCancelled;
    if (index == 0 || FindAnchor(range, index, *decoder)) {
        stop = DecodeOwned(range, index, *decoder);
    }
    {
        std::lock_guard lock(mutex_);
        range.stop = stop;
        range.decoder = std::move(decoder);
        range.done = true;
        if (range.abandoned) {
            FreeOutput(range);
        }
    }
    changed_.notify_all();
}

// Reads frames until the decoder's state is exact and a header inside the range follows:
// true with that header (the anchor) read; false, the range publishing no anchor, when the
// range ends first.
bool RangeDecoding::FindAnchor(Range& range, size_t index, FrameDecoder& decoder) {
    const uint64_t end = index + 1 < ranges_.size() ? ranges_[index + 1]->start : UINT64_MAX;
    RangeWarmUp warm;
    decoder.SetSynthesis(false);
    while (!range.abandoned) {
        const Event event = decoder.Step();
        if (event == Event::kHeader) {
            const uint64_t offset = decoder.FrameStart();
            const unsigned layer = decoder.header().layer;
            if (offset >= end) {
                break;
            }
            if ((decoder.header().flags & MAD_FLAG_FREEFORMAT) != 0) {
                warm.Reset();
                continue;
            }
            const bool anchor =
                warm.Exact() && warm.Continues(offset, layer) && offset >= range.start;
            warm.Header(offset, decoder.FrameSize(), layer, decoder.FramePayload());
            if (anchor) {
                decoder.SetSynthesis(true);
                decoder.SetStrict(true);
                Publish(range, AnchorState::kFound, offset, warm.TakeRun());
                return true;
            }
            decoder.SetSynthesis(warm.ReservoirFull());
        } else if (event == Event::kFrame || event == Event::kFrameError) {
            warm.Frame(event == Event::kFrame, decoder.Synced());
        } else if (event == Event::kStreamError) {
            warm.Reset();
        } else {
            break;
        }
    }
    Publish(range, AnchorState::kNone, 0, {});
    return false;
}

// The range's own frames, from its anchor (or the input's start) to the next range's.
Stop RangeDecoding::DecodeOwned(Range& range, size_t index, FrameDecoder& decoder) {
    const bool last = index + 1 == ranges_.size();
    const uint64_t end = last ? UINT64_MAX : ranges_[index + 1]->start;
    const uint64_t tailFrom = last ? UINT64_MAX : ranges_[index + 1]->decodeFrom;
    Event event = index == 0 ? decoder.Step() : Event::kHeader;  // else at the anchor's
    for (;; event = decoder.Step()) {
        if (range.abandoned) {
            return Stop::kCancelled;
        }
        if (event == Event::kHeader) {
            const uint64_t offset = decoder.FrameStart();
            if (offset >= tailFrom) {
                range.tail.push_back(offset);
            }
            if (offset >= end) {
                const auto [state, anchor] = WaitAnchor(index + 1);
                if (state != AnchorState::kFound) {
                    return state == AnchorState::kNone ? Stop::kNoNextAnchor : Stop::kCancelled;
                }
                if (offset >= anchor) {
                    return Stop::kAtNext;
                }
            }
            RangeFrame frame;
            frame.offset = offset;
            frame.size = decoder.FrameSize();
            range.frames.push_back(frame);
        } else if (event == Event::kFrame && !range.frames.empty()) {
            RangeFrame& frame = range.frames.back();
            const mad_pcm& pcm = decoder.pcm();
            frame.decoded = true;
            frame.channels = static_cast<uint8_t>(MAD_NCHANNELS(&decoder.header()));
            frame.length = pcm.length;
            frame.sampleRate = decoder.header().samplerate;
            frame.duration = decoder.header().duration;
            frame.samples = range.pcm.Add(pcm.samples[0], pcm.length);
        } else if (event != Event::kFrameError && event != Event::kStreamError) {
            return StopOf(event);
        }
    }
}

void RangeDecoding::Publish(Range& range, AnchorState state, uint64_t anchor,
                            std::vector<uint64_t> run) {
    {
        std::lock_guard lock(mutex_);
        range.anchorState = state;
        range.anchor = anchor;
        range.run = std::move(run);
    }
    changed_.notify_all();
}

std::pair<AnchorState, uint64_t> RangeDecoding::WaitAnchor(size_t index) {
    std::unique_lock lock(mutex_);
    const Range& range = *ranges_[index];
    changed_.wait(lock, [&] { return cancelled_ || range.anchorState != AnchorState::kUnknown; });
    return {range.anchorState, range.anchor};
}

}  // namespace

namespace {

// From range 0's end to the input's: hands over to each range whose anchor the exact
// decoder reaches through the same frames, else goes on with that decoder itself.
Stop RangeDecoding::Follow(std::unique_ptr<FrameDecoder>& exact, Stop stop,
                           std::vector<uint64_t>& tail) {
    bool ownWindow = false;  // exact reads in windows of its own
    for (;;) {
        if (stop == Stop::kAtNext || stop == Stop::kNoNextAnchor) {
            const uint64_t offset = exact->FrameStart();
            if (AtTarget(offset, tail)) {
                if (HandsOver(offset, tail)) {
                    WaitDone(target_);
                    Range& range = *ranges_[target_];
                    if (!ApplyRange(range, true)) {
                        return Stop::kWriteFailed;
                    }
                    stop = range.stop;
                    exact = std::move(range.decoder);
                    tail = std::move(range.tail);
                    ownWindow = true;
                    ++handedOver_;
                }
                Release(target_++);
                continue;
            }
        } else if (stop != Stop::kIrregular) {
            return stop;
        }
        if (ownWindow) {
            Stop failed = Stop::kEnd;
            if (!ToSequentialWindow(*exact, stop, failed)) {
                return failed;
            }
            ownWindow = false;
        }
        stop = Continue(*exact, tail);
    }
}

// Decodes on this thread, in the whole-file decoder's windows, into the sink; stops at
// a header where a range may take over.
Stop RangeDecoding::Continue(FrameDecoder& decoder, std::vector<uint64_t>& tail) {
    for (;;) {
        const Event event = decoder.Step();
        if (event == Event::kHeader) {
            const uint64_t offset = decoder.FrameStart();
            if (target_ < ranges_.size() && offset >= ranges_[target_]->decodeFrom) {
                tail.push_back(offset);
            }
            if (AtTarget(offset, tail)) {
                window_.Set(decoder.WindowStart(), decoder.WindowEnd());
                freeRate_ = decoder.FreeRate();
                return Stop::kAtNext;
            }
        } else if (event == Event::kFrame) {
            const mad_pcm& pcm = decoder.pcm();
            const mad_header& header = decoder.header();
            if (!Apply(pcm.samples[0], pcm.channels == 2 ? pcm.samples[1] : nullptr, pcm.length,
                       MAD_NCHANNELS(&header), header.samplerate, header.duration)) {
                return Stop::kWriteFailed;
            }
        } else if (event != Event::kFrameError && event != Event::kStreamError) {
            return StopOf(event);
        }
    }
}

// Whether a header at `offset` is at or past the target range's anchor; ranges that found
// none are given up on the way.
bool RangeDecoding::AtTarget(uint64_t offset, std::vector<uint64_t>& tail) {
    bool skipped = false;
    while (target_ < ranges_.size() && offset >= ranges_[target_]->start) {
        const auto [state, anchor] = WaitAnchor(target_);
        if (state == AnchorState::kFound) {
            if (skipped) {
                const uint64_t from = ranges_[target_]->decodeFrom;
                std::erase_if(tail, [from](uint64_t o) { return o < from; });
            }
            return offset >= anchor;
        }
        Release(target_++);
        skipped = true;
    }
    return false;
}

// The target range takes over when the exact decoder is at its anchor and read the same
// frames as the range's warm-up sequence before it.
bool RangeDecoding::HandsOver(uint64_t offset, const std::vector<uint64_t>& tail) {
    const Range& range = *ranges_[target_];
    if (offset != range.anchor || range.run.empty()) {
        return false;
    }
    const auto from = std::find(tail.begin(), tail.end(), range.run.front());
    return from != tail.end() && std::equal(from, tail.end(), range.run.begin(), range.run.end());
}

// A range's decoder stopped where its windows matter: the same state, read again in the
// window the whole-file decoder would be in.
bool RangeDecoding::ToSequentialWindow(FrameDecoder& decoder, Stop stop, Stop& failed) {
    bool more = true;
    if (stop == Stop::kIrregular) {
        // Before a header, or after a frame that lost the sync (a search follows, in the
        // window the frame was read from).
        more = !decoder.Synced() || window_.BeforeHeader(decoder.NextOffset());
    } else {
        more = window_.BeforeFrame(decoder.FrameStart(), decoder.FrameSize());
    }
    if (!more) {
        failed = Stop::kEnd;
        return false;
    }
    if (!decoder.Rewindow(window_.start(), freeRate_)) {
        failed = Stop::kReadError;
        return false;
    }
    return true;
}

bool RangeDecoding::ApplyRange(const Range& range, bool followWindow) {
    for (const RangeFrame& frame : range.frames) {
        if (followWindow) {
            window_.BeforeFrame(frame.offset, frame.size);
        }
        if (frame.decoded && !Apply(frame.samples, nullptr, frame.length, frame.channels,
                                    frame.sampleRate, frame.duration)) {
            return false;
        }
    }
    return true;
}

bool RangeDecoding::Apply(const int32_t* left, const int32_t* right, unsigned length,
                          unsigned channels, uint32_t sampleRate, mad_timer_t duration) {
    ++stats_.frames;
    mad_timer_add(&playTime_, duration);
    if (stats_.frames == 1) {
        stats_.sampleRate = sampleRate;
        sink_.Begin(sampleRate);
    }
    if (!sink_.Frame(left, right, length, channels)) {
        writeErrno_ = errno;
        return false;
    }
    return true;
}

void RangeDecoding::WaitDone(size_t index) {
    std::unique_lock lock(mutex_);
    const Range& range = *ranges_[index];
    changed_.wait(lock, [&] { return cancelled_ || range.done; });
}

void RangeDecoding::Release(size_t index) {
    {
        std::lock_guard lock(mutex_);
        Range& range = *ranges_[index];
        range.abandoned = true;
        if (range.done) {
            FreeOutput(range);
        }
        released_ = std::max(released_, index + 1);
    }
    changed_.notify_all();
}

// At least two, as each range's decoder waits for the next range's anchor.
bool RangeDecoding::StartWorkers() {
    try {
        for (unsigned i = 0; i < std::min<unsigned>(plan_.threads, 8); ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    } catch (const std::system_error&) {
        StopWorkers();
        return false;
    }
    return true;
}

void RangeDecoding::StopWorkers() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        for (auto& range : ranges_) {
            range->abandoned = true;
        }
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

int RangeDecoding::Conclude(Stop stop, const FrameDecoder& last, std::string& status) {
    int result = kDecodeOk;
    if (stop == Stop::kWriteFailed) {
        SetStatus(status, "PCM write error (%s).\n", std::strerror(writeErrno_));
        result = kDecodeWriteFailed;
    } else if (stop == Stop::kReadError) {
        SetStatus(status, "Read error on bit-stream (%s)\n", std::strerror(last.readError()));
        result = kDecodeFailed;
    } else if (stop == Stop::kFatal) {
        SetStatus(status, "Unrecoverable frame level error (%s).\n", last.ErrorText());
        result = kDecodeFailed;
    }
    if (result != kDecodeWriteFailed && !sink_.End()) {
        SetStatus(status, "PCM write error (%s).\n", std::strerror(errno));
        result = kDecodeWriteFailed;
    }
    stats_.playMs = mad_timer_count(playTime_, MAD_UNITS_MILLISECONDS);
    if (result == kDecodeOk) {
        SetDecodedStatus(status, stats_.frames, playTime_);
    }
    return result;
}

}  // namespace

RangePlan RangePlan::For(const RandomAccessInput& source) {
    RangePlan plan;
    // The first header libmad accepts near the start gives the bytes per sample.
    std::vector<unsigned char> start(
        static_cast<size_t>(std::min<uint64_t>(source.Size(), 64 * 1024)) + MAD_BUFFER_GUARD);
    const size_t length = start.size() - MAD_BUFFER_GUARD;
    if (length > 0 && source.ReadAt(0, start.data(), length)) {
        mad_stream stream;
        mad_header header;
        mad_stream_init(&stream);
        mad_header_init(&header);
        mad_stream_buffer(&stream, start.data(), start.size());
        for (int tries = 0; tries < 64; ++tries) {
            if (mad_header_decode(&header, &stream) == 0 && header.samplerate > 0) {
                const uint64_t bytes = kRangeSamples * (header.bitrate / 8) / header.samplerate;
                plan.rangeBytes = std::clamp<uint64_t>(bytes, 64 * 1024, 1024 * 1024);
                break;
            }
            if (stream.error == MAD_ERROR_BUFLEN) {
                break;
            }
        }
        mad_header_finish(&header);
        mad_stream_finish(&stream);
    }
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    const int usable = sched_getaffinity(0, sizeof cpus, &cpus) == 0 ? CPU_COUNT(&cpus) : 1;
    plan.threads = usable >= 2 && source.Size() >= 3 * plan.rangeBytes ? 2 : 1;
    return plan;
}

int DecodeMp3Ranges(const RandomAccessInput& source, PcmSink& sink, std::string& status,
                    DecodeStats& stats, const RangePlan& plan, size_t* handedOver) {
    RangeDecoding decoding(source, sink, plan);
    const int result = decoding.Run(status, stats);
    if (handedOver != nullptr) {
        *handedOver = decoding.handedOver();
    }
    return result;
}

}  // namespace velto::audio
