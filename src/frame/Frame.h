#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace velto::frame {

// The frame of the communication-server protocol, both ways: a 4-byte payload length,
// most significant byte first, then the payload. The program's server link, the
// development server and the tests' server all frame through here; no socket code, so the
// framing can be tested and fuzzed on its own.

constexpr size_t kHeaderSize = 4;
// The most a header can announce.
constexpr size_t kLargestPayload = UINT32_MAX;

std::array<uint8_t, kHeaderSize> EncodeLength(uint32_t length);
uint32_t DecodeLength(std::span<const uint8_t, kHeaderSize> header);

// Header and payload in one buffer; none when the payload is longer than a header can
// announce.
std::optional<std::vector<uint8_t>> EncodeFrame(std::span<const uint8_t> payload);

// Moves up to `size` bytes; returns how many, or 0 or less when the connection failed.
using ReadSome = std::function<long(uint8_t* data, size_t size)>;
using WriteSome = std::function<long(const uint8_t* data, size_t size)>;

// Writes every byte of `bytes`; false when the connection failed on the way (or `write`
// claimed more than it was given).
bool SendBytes(const WriteSome& write, std::span<const uint8_t> bytes);
// Sends the whole frame; false when the payload is too long for a frame or the connection
// failed on the way.
bool SendFrame(const WriteSome& write, std::span<const uint8_t> payload);

enum class FrameStatus {
    Ok,
    Broken,   // the connection failed or closed before the frame was complete
    TooLong,  // the announced length is over the receiver's limit; nothing of it was read
};

struct Received {
    FrameStatus status = FrameStatus::Broken;
    // The length the header announced (with TooLong, the refused one); 0 when the header
    // itself broke off. With Ok, the payload's length: 0 is a valid empty frame.
    uint32_t length = 0;
};

// Receives one frame into `buffer`, from its first byte on; longer than `buffer` is TooLong.
Received ReceiveFrame(const ReadSome& read, std::span<uint8_t> buffer);
// Receives one frame of at most `limit` bytes into `payload` (sized to fit it). On TooLong
// no memory was taken for the announced length.
Received ReceiveFrame(const ReadSome& read, size_t limit, std::vector<uint8_t>& payload);

}  // namespace velto::frame
