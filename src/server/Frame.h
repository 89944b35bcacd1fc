#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace velto::server {

// The frame of the communication-server protocol, both ways: a 4-byte payload length,
// most significant byte first, then the payload. No socket code here, so the framing can
// be tested and fuzzed on its own.

constexpr size_t kFrameHeaderSize = 4;

std::array<uint8_t, kFrameHeaderSize> EncodeFrameLength(uint32_t length);
uint32_t DecodeFrameLength(std::span<const uint8_t, kFrameHeaderSize> header);

// Moves up to `size` bytes; returns how many, or 0 or less when the connection failed.
using ReadSome = std::function<long(uint8_t* data, size_t size)>;
using WriteSome = std::function<long(const uint8_t* data, size_t size)>;

// Sends the whole frame; false when the connection failed on the way.
bool SendFrame(const WriteSome& write, std::span<const uint8_t> payload);

enum class FrameStatus {
    Ok,
    Broken,   // the connection failed or closed before the frame was complete
    TooLong,  // the announced length does not fit the buffer; nothing of it was read
};

// Receives one frame into `buffer` (from its first byte on) and sets `length`. A length
// of 0 is a valid empty frame.
FrameStatus ReceiveFrame(const ReadSome& read, std::span<uint8_t> buffer, size_t& length);

}  // namespace velto::server
