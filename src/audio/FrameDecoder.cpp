#include "audio/FrameDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velto::audio {

FrameDecoder::FrameDecoder(const RandomAccessInput& source, uint64_t start, bool firstChannelOnly)
    : source_(source),
      start_(start),
      firstChannelOnly_(firstChannelOnly),
      buffer_(kWindowBytes + MAD_BUFFER_GUARD) {
    windowStart_ = start;
}

FrameDecoder::Event FrameDecoder::Step() {
    if (irregular_) {
        return Event::kIrregular;
    }
    mad_stream& stream = mad_.stream;
    for (;;) {
        if ((mad_.frame.header.flags & MAD_FLAG_INCOMPLETE) != 0) {
            bool again = false;
            const Event event = DecodeFrame(again);
            if (!again) {
                return event;
            }
        }
        if (stream.buffer == nullptr || stream.error == MAD_ERROR_BUFLEN) {
            Event event{};
            if (!Refill(event)) {
                return event;
            }
        }
        const mad_stream saved = stream;
        const mad_header savedHeader = mad_.frame.header;
        const bool failed = mad_header_decode(&mad_.frame.header, &stream) != 0;
        if (failed && stream.error == MAD_ERROR_BUFLEN) {
            continue;  // the same in any window: read on from where libmad stopped
        }
        if (strict_ && (failed || (mad_.frame.header.flags & MAD_FLAG_FREEFORMAT) != 0)) {
            stream = saved;
            mad_.frame.header = savedHeader;
            irregular_ = true;
            return Event::kIrregular;
        }
        if (failed) {
            return MAD_RECOVERABLE(stream.error) ? Event::kStreamError : Event::kFatal;
        }
        return Event::kHeader;
    }
}

FrameDecoder::Event FrameDecoder::DecodeFrame(bool& again) {
    mad_stream& stream = mad_.stream;
    if (mad_frame_decode(&mad_.frame, &stream) != 0) {
        if (MAD_RECOVERABLE(stream.error)) {
            // A frame that loses the sync has libmad search for the next one: that depends
            // on the windows.
            irregular_ = strict_ && stream.sync == 0;
            return Event::kFrameError;
        }
        again = stream.error == MAD_ERROR_BUFLEN;
        return Event::kFatal;
    }
    if (synthesis_) {
        SynthesizeFrame(mad_, firstChannelOnly_);
    }
    return Event::kFrame;
}

bool FrameDecoder::Refill(Event& event) {
    const mad_stream& stream = mad_.stream;
    uint64_t from = start_;
    if (stream.buffer != nullptr) {
        if (static_cast<size_t>(stream.bufend - stream.next_frame) == kWindowBytes) {
            // A whole window left unused: the one-pass decoder asks its reader for no
            // bytes, which is an error.
            readError_ = EINVAL;
            event = Event::kReadError;
            return false;
        }
        if (atEnd_) {
            event = Event::kEnd;
            return false;
        }
        from = NextOffset();
    }
    if (from >= source_.Size()) {
        event = Event::kEnd;
        return false;
    }
    if (!FillWindow(from)) {
        event = Event::kReadError;
        return false;
    }
    return true;
}

bool FrameDecoder::FillWindow(uint64_t from) {
    const uint64_t size = source_.Size();
    const size_t count =
        from >= size ? 0 : static_cast<size_t>(std::min<uint64_t>(kWindowBytes, size - from));
    if (!source_.ReadAt(from, buffer_.data(), count)) {
        readError_ = errno != 0 ? errno : EIO;
        return false;
    }
    windowStart_ = from;
    windowLength_ = count;
    atEnd_ = from + count >= size;
    if (atEnd_) {
        std::memset(buffer_.data() + count, 0, MAD_BUFFER_GUARD);
        windowLength_ += MAD_BUFFER_GUARD;
    }
    mad_stream_buffer(&mad_.stream, buffer_.data(), windowLength_);
    mad_.stream.error = MAD_ERROR_NONE;
    return true;
}

bool FrameDecoder::Rewindow(uint64_t windowStart, unsigned long freeRate) {
    mad_stream& stream = mad_.stream;
    const mad_stream before = stream;
    const uint64_t thisFrame = Offset(before.this_frame);
    const uint64_t nextFrame = Offset(before.next_frame);
    const uint64_t bitPtr = Offset(before.ptr.byte);
    // The next header is looked for from next_frame; this_frame and the bit pointer are set
    // afresh from there, unless a header was read and its frame is still to be decoded,
    // when they lie after the window's start too.
    if (nextFrame < windowStart || nextFrame - windowStart > kWindowBytes + MAD_BUFFER_GUARD) {
        readError_ = EINVAL;  // not a window the decoder's position lies in
        return false;
    }
    if (!FillWindow(windowStart)) {
        return false;
    }
    if (std::max(nextFrame, bitPtr) > WindowEnd()) {
        readError_ = EINVAL;
        return false;
    }
    const auto at = [this](uint64_t offset) {
        return buffer_.data() + (std::max(offset, windowStart_) - windowStart_);
    };
    stream.sync = before.sync;
    stream.error = before.error == MAD_ERROR_BUFLEN ? MAD_ERROR_NONE : before.error;
    stream.this_frame = at(thisFrame);
    stream.next_frame = at(nextFrame);
    stream.ptr = before.ptr;
    stream.ptr.byte = at(bitPtr);
    stream.anc_ptr.byte = stream.ptr.byte;
    stream.anc_bitlen = 0;
    stream.freerate = freeRate;
    strict_ = false;
    irregular_ = false;
    return true;
}

size_t FrameDecoder::FramePayload() const {
    const mad_header& h = mad_.frame.header;
    size_t overhead = 4 + ((h.flags & MAD_FLAG_PROTECTION) != 0 ? 2 : 0);
    if (h.layer == MAD_LAYER_III) {
        const bool lsf = (h.flags & MAD_FLAG_LSF_EXT) != 0;
        const bool mono = h.mode == MAD_MODE_SINGLE_CHANNEL;
        overhead += lsf ? (mono ? 9 : 17) : (mono ? 17 : 32);
    }
    const size_t size = FrameSize();
    return size > overhead ? size - overhead : 0;
}

}  // namespace velto::audio
