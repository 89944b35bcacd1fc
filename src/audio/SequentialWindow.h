#pragma once

#include <mad.h>

#include <cstdint>

#include "audio/FrameDecoder.h"

namespace velto::audio {

// The whole-file decoder's input window, followed frame by frame: it reads a new window
// from a frame's header when fewer than 8 bytes, or less than the frame and 8 bytes, are
// left in the current one.
class SequentialWindow {
  public:
    explicit SequentialWindow(uint64_t inputSize) : size_(inputSize) {}
    void Set(uint64_t start, uint64_t end) {
        start_ = start;
        end_ = end;
    }
    uint64_t start() const { return start_; }
    // Before a header is looked for at `offset`; false when the input ends there.
    bool BeforeHeader(uint64_t offset) {
        return Left(offset) >= MAD_BUFFER_GUARD || Refill(offset);
    }
    // Before the frame whose header is at `offset` is decoded.
    bool BeforeFrame(uint64_t offset, uint32_t size) {
        const uint64_t left = Left(offset);
        return (left >= MAD_BUFFER_GUARD && size + MAD_BUFFER_GUARD <= left) || Refill(offset);
    }

  private:
    uint64_t Left(uint64_t offset) const { return end_ > offset ? end_ - offset : 0; }
    bool Refill(uint64_t offset) {
        if (end_ > size_) {
            return false;  // the window holds the end of the input already
        }
        start_ = offset;
        end_ = offset + FrameDecoder::kWindowBytes < size_ ? offset + FrameDecoder::kWindowBytes
                                                           : size_ + MAD_BUFFER_GUARD;
        return true;
    }

    uint64_t size_;
    uint64_t start_ = 0;
    uint64_t end_ = 0;
};

}  // namespace velto::audio
