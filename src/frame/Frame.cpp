#include "frame/Frame.h"

#include <algorithm>

namespace velto::frame {

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

// Reads the header and checks the announced length against `limit`; Ok means the payload
// may be read.
Received ReceiveHeader(const ReadSome& read, size_t limit) {
    std::array<uint8_t, kHeaderSize> header{};
    if (!ReadExactly(read, header.data(), header.size())) {
        return {FrameStatus::Broken, 0};
    }
    const uint32_t announced = DecodeLength(header);
    return {announced > limit ? FrameStatus::TooLong : FrameStatus::Ok, announced};
}

}  // namespace

std::array<uint8_t, kHeaderSize> EncodeLength(uint32_t length) {
    return {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
}

uint32_t DecodeLength(std::span<const uint8_t, kHeaderSize> header) {
    return (uint32_t{header[0]} << 24) | (uint32_t{header[1]} << 16) | (uint32_t{header[2]} << 8) |
           uint32_t{header[3]};
}

std::optional<std::vector<uint8_t>> EncodeFrame(std::span<const uint8_t> payload) {
    if (payload.size() > kLargestPayload) {
        return std::nullopt;
    }
    std::vector<uint8_t> frame(kHeaderSize + payload.size());
    const auto header = EncodeLength(static_cast<uint32_t>(payload.size()));
    std::copy(header.begin(), header.end(), frame.begin());
    std::copy(payload.begin(), payload.end(), frame.begin() + kHeaderSize);
    return frame;
}

bool SendBytes(const WriteSome& write, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const long sent = write(bytes.data() + done, bytes.size() - done);
        if (sent <= 0 || static_cast<size_t>(sent) > bytes.size() - done) {
            return false;
        }
        done += static_cast<size_t>(sent);
    }
    return true;
}

bool SendFrame(const WriteSome& write, std::span<const uint8_t> payload) {
    // One buffer, so that a short frame normally leaves in one segment.
    const auto frame = EncodeFrame(payload);
    return frame && SendBytes(write, *frame);
}

Received ReceiveFrame(const ReadSome& read, std::span<uint8_t> buffer) {
    Received received = ReceiveHeader(read, buffer.size());
    if (received.status == FrameStatus::Ok && !ReadExactly(read, buffer.data(), received.length)) {
        received.status = FrameStatus::Broken;
    }
    return received;
}

Received ReceiveFrame(const ReadSome& read, size_t limit, std::vector<uint8_t>& payload) {
    Received received = ReceiveHeader(read, limit);
    if (received.status != FrameStatus::Ok) {
        return received;
    }
    payload.resize(received.length);
    if (!ReadExactly(read, payload.data(), payload.size())) {
        received.status = FrameStatus::Broken;
    }
    return received;
}

}  // namespace velto::frame
