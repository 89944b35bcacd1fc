#include "server/Frame.h"

#include <vector>

namespace velto::server {

namespace {

bool ReadExactly(const ReadSome& read, uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const long got = read(data + done, size - done);
        if (got <= 0 || static_cast<size_t>(got) > size - done) {
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

std::array<uint8_t, kFrameHeaderSize> EncodeFrameLength(uint32_t length) {
    return {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
}

uint32_t DecodeFrameLength(std::span<const uint8_t, kFrameHeaderSize> header) {
    return (uint32_t{header[0]} << 24) | (uint32_t{header[1]} << 16) | (uint32_t{header[2]} << 8) |
           uint32_t{header[3]};
}

bool SendFrame(const WriteSome& write, std::span<const uint8_t> payload) {
    // One buffer, so that a short request normally leaves in one segment.
    std::vector<uint8_t> frame(kFrameHeaderSize + payload.size());
    const auto header = EncodeFrameLength(static_cast<uint32_t>(payload.size()));
    std::copy(header.begin(), header.end(), frame.begin());
    std::copy(payload.begin(), payload.end(), frame.begin() + kFrameHeaderSize);
    size_t done = 0;
    while (done < frame.size()) {
        const long sent = write(frame.data() + done, frame.size() - done);
        if (sent <= 0 || static_cast<size_t>(sent) > frame.size() - done) {
            return false;
        }
        done += static_cast<size_t>(sent);
    }
    return true;
}

FrameStatus ReceiveFrame(const ReadSome& read, std::span<uint8_t> buffer, size_t& length) {
    std::array<uint8_t, kFrameHeaderSize> header{};
    if (!ReadExactly(read, header.data(), header.size())) {
        return FrameStatus::Broken;
    }
    const uint32_t announced = DecodeFrameLength(header);
    if (announced > buffer.size()) {
        return FrameStatus::TooLong;
    }
    if (!ReadExactly(read, buffer.data(), announced)) {
        return FrameStatus::Broken;
    }
    length = announced;
    return FrameStatus::Ok;
}

}  // namespace velto::server
